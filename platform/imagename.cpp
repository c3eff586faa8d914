#include "platform/imagename.h"

#include "platform/asciicase.h"

#include <QByteArrayView>

namespace quellex::platform {

namespace {

bool endsWithExe(std::string_view name)
{
    return name.size() >= 4 && equalsIgnoringAsciiCase(name.substr(name.size() - 4), ".exe");
}

} // namespace

ImageNameMatcher::ImageNameMatcher(std::string_view wanted)
{
    auto add = [this](std::string_view bytes) {
        if (bytes.empty())
            return;
        Form form;
        form.bytes = std::string(bytes);
        form.foldedText = QString::fromUtf8(bytes.data(), qsizetype(bytes.size())).toCaseFolded();
        const QByteArray folded = form.foldedText.toUtf8();
        form.folded = std::string(folded.constData(), std::size_t(folded.size()));
        form.ascii = isAscii(bytes);
        m_forms.push_back(std::move(form));
    };
    add(wanted);
    if (endsWithExe(wanted))
        add(wanted.substr(0, wanted.size() - 4));
}

bool ImageNameMatcher::matches(std::string_view candidate) const
{
    // The case of nearly every process: compared byte by byte, nothing allocated. Folding an ASCII
    // name only lowers its letters, so the folded wanted form is what it must equal.
    if (isAscii(candidate)) {
        for (const Form &form : m_forms) {
            if (equalsIgnoringAsciiCase(candidate, form.folded))
                return true;
        }
        return false;
    }
    return matchesFolded(candidate);
}

bool ImageNameMatcher::matchesFolded(std::string_view candidate) const
{
    if (m_forms.empty())
        return false;
    const QByteArrayView bytes(candidate.data(), qsizetype(candidate.size()));
    if (!bytes.isValidUtf8()) {
        // Not text: decoding would turn different byte strings into the same replacement characters.
        for (const Form &form : m_forms) {
            if (candidate == form.bytes)
                return true;
        }
        return false;
    }
    const QString folded = QString::fromUtf8(bytes).toCaseFolded();
    for (const Form &form : m_forms) {
        if (folded == form.foldedText)
            return true;
    }
    return false;
}

} // namespace quellex::platform
