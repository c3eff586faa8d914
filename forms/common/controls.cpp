#include "forms/common/controls.h"

#include "quellexversion.h"

#include <QCheckBox>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QTimer>
#include <QVariant>

namespace quellex::forms {

namespace {
constexpr char kBackColorProperty[] = "BackColor";
constexpr int kPictureBorder = 2;

QColor toQColor(int color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}
} // namespace

void setBackColor(QWidget *control, int color)
{
    if (backColor(control) == color)
        return;
    control->setProperty(kBackColorProperty, color);
    // The state colours in words, for a screen reader and for a user who cannot tell them apart.
    if (color == kGreen || color == kRed) {
        control->setAccessibleDescription(color == kGreen ? QStringLiteral("running")
                                                          : QStringLiteral("not running"));
    }
    // A text box shows its Base role. Styles draw a tickbox without its background, so it gets a
    // style sheet, which fills the whole rectangle. The text on it is black, as designed, whatever
    // the palette: a dark theme's light text cannot be read on green.
    if (qobject_cast<QLineEdit *>(control)) {
        QPalette palette = control->palette();
        palette.setColor(QPalette::Base, toQColor(color));
        palette.setColor(QPalette::Text, toQColor(kBlack));
        control->setPalette(palette);
    } else {
        // A style sheet would otherwise put the application's font in place of the window's.
        const QFont font = control->font();
        control->setStyleSheet(
            QStringLiteral("%1 { background-color: %2; color: black; }")
                .arg(QString::fromLatin1(control->metaObject()->className()), toQColor(color).name()));
        control->setFont(font);
    }
}

int backColor(const QWidget *control)
{
    const QVariant color = control->property(kBackColorProperty);
    return color.isValid() ? color.toInt() : kDefaultColor;
}

int tickboxValue(const QCheckBox *tickbox)
{
    return tickbox->isChecked() ? 1 : 0;
}

void setTickboxValue(QCheckBox *tickbox, int value)
{
    tickbox->setChecked(value == 1);
}

void designForm(QWidget *form, const char *objectName, Qt::WindowFlags flags, float clientWidth,
                float clientHeight)
{
    form->setObjectName(QString::fromLatin1(objectName));
    form->setWindowTitle(QStringLiteral(QUELLEX_CAPTION));
    form->setWindowIcon(QIcon(QStringLiteral(":/artwork/icon.png")));
    QFont font = designFont(8.25);
    font.setBold(false);
    form->setFont(font);
    form->setWindowFlags(flags);
    form->resize(twipsToPixels(clientWidth, form), twipsToPixels(clientHeight, form));
}

QTimer *newTimer(QObject *owner, const char *objectName, bool enabled)
{
    auto *timer = new QTimer(owner);
    timer->setObjectName(QString::fromLatin1(objectName));
    setTimerEnabled(timer, enabled);
    return timer;
}

void setTabStops(std::initializer_list<QWidget *> stops)
{
    // The focus chain is a ring that starts where the controls were created, so the first stop is
    // given the focus rather than left to the ring.
    for (auto stop = stops.begin(); stop + 1 != stops.end(); ++stop)
        QWidget::setTabOrder(*stop, *(stop + 1));
    (*stops.begin())->setFocus();
}

void setTimerEnabled(QTimer *timer, bool enabled)
{
    if (enabled && !timer->isActive())
        timer->start();
    else if (!enabled)
        timer->stop();
}

QFont designFont(qreal pointSize)
{
    // The design's font is seldom installed here; these come closest to its narrow letters, which
    // the designed control sizes rely on.
    [[maybe_unused]] static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("Arial"), QStringLiteral("Helvetica")});
        return true;
    }();
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(true);
    return font;
}

void styleTitleLabel(QLabel *label, qreal pointSize)
{
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::Box);
    label->setLineWidth(1);
    label->setFont(designFont(pointSize));
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, toQColor(kBlack));
    palette.setColor(QPalette::WindowText, toQColor(kGreen));
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

void stylePictureBox(QLabel *pictureBox)
{
    const QPixmap picture(QStringLiteral(":/artwork/picture.png"));
    pictureBox->setPixmap(picture);
    pictureBox->setAlignment(Qt::AlignCenter);
    pictureBox->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pictureBox->setLineWidth(kPictureBorder);
    pictureBox->setFixedSize(picture.deviceIndependentSize().toSize() +
                             QSize(2 * kPictureBorder, 2 * kPictureBorder));
    QPalette palette = pictureBox->palette();
    palette.setColor(QPalette::Window, toQColor(kBlack));
    pictureBox->setPalette(palette);
    pictureBox->setAutoFillBackground(true);
}

} // namespace quellex::forms
