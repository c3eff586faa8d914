// The pictures drawn in code: their sizes, the 256 colours of the icon's design size, and that they
// draw something recognisable without any display.
#include "forms/common/artwork.h"

#include <QSet>
#include <QTest>

namespace {

QSet<QRgb> coloursOf(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return colours;
}

int countPixels(const QImage &image, auto predicate)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += predicate(QColor::fromRgba(image.pixel(x, y))) ? 1 : 0;
    return count;
}

bool glowingRed(const QColor &c)
{
    return c.red() > 180 && c.green() < 110 && c.blue() < 110;
}

bool chrome(const QColor &c)
{
    return c.lightness() > 150 && c.hslSaturation() < 60;
}

} // namespace

class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void pictureIsTheHeadOnBlack()
    {
        const QPixmap pixmap = quellex::forms::terminatorPicture();
        QCOMPARE(pixmap.size(), QSize(57, 75));
        const QImage picture = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
        for (const QPoint corner : {QPoint(0, 0), QPoint(56, 0), QPoint(0, 74), QPoint(56, 74)})
            QCOMPARE(picture.pixel(corner), qRgb(0, 0, 0));
        QVERIFY2(countPixels(picture, chrome) > 57 * 75 / 5, "the chrome head covers a good part");
        const int red = countPixels(picture, glowingRed);
        QVERIFY2(red >= 6 && red < 57 * 75 / 10, qPrintable(QString::number(red)));
        // Both eyes glow: red on each side of the middle.
        QVERIFY(countPixels(picture.copy(0, 0, 28, 75), glowingRed) > 2);
        QVERIFY(countPixels(picture.copy(29, 0, 28, 75), glowingRed) > 2);
    }

    void iconAtDesignSizeHas256ColoursAtMost()
    {
        const QImage icon = quellex::forms::programIconImage();
        QCOMPARE(icon.size(), QSize(100, 100));
        QVERIFY(icon.hasAlphaChannel());
        const int colours = coloursOf(icon).size();
        QVERIFY2(colours <= 256 && colours > 64, qPrintable(QString::number(colours)));
        // Rounded corners are see-through; the middle is opaque and shows the eyes.
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(icon.pixel(50, 50)), 255);
        QVERIFY(countPixels(icon, glowingRed) > 10);
    }

    void iconDrawsAtEverySize_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QTest::addRow("%d", size) << size;
    }

    void iconDrawsAtEverySize()
    {
        QFETCH(int, size);
        const QImage icon = quellex::forms::programIconImage(size);
        QCOMPARE(icon.size(), QSize(size, size));
        QCOMPARE(qAlpha(icon.pixel(size / 2, size / 2)), 255);
        QVERIFY2(countPixels(icon, glowingRed) >= 2, "the eyes stay visible even at 16 pixels");
        QVERIFY(countPixels(icon, chrome) > size * size / 10);
    }

    void windowIconOffersTheDesktopSizes()
    {
        const QIcon icon = quellex::forms::programIcon();
        const QList<QSize> sizes = icon.availableSizes();
        for (int size : {16, 22, 24, 32, 48, 64, 100, 128, 256})
            QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
        QCOMPARE(icon.pixmap(QSize(32, 32)).size(), QSize(32, 32));
    }
};

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
