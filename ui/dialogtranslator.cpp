#include "ui/dialogtranslator.h"

#include "model/hostservices.h"

#include <QCoreApplication>
#include <QTranslator>

#include <memory>

namespace {

// Message boxes take their standard buttons' texts from Qt itself; listed here
// so they are translated with the rest.
[[maybe_unused]] const char *const qtButtonTexts[] = {
    QT_TRANSLATE_NOOP("QPlatformTheme", "OK"),
};

// "zh_CN" where the help would open in Chinese, empty for the original texts.
QString dialogLanguage()
{
    // The help library picks between the two help keywords; asking it to pick
    // between two language names keeps the dialog in the language of its help,
    // whatever rule the host follows.
    const QString picked = helpKeyWord(QByteArrayLiteral("en"), QByteArrayLiteral("zh_CN"));
    return picked == QLatin1String("zh_CN") ? picked : QString();
}

} // namespace

// Outside any namespace, as the resource's initialiser is declared here.
static void initTranslationResources()
{
    // The resources live in a static library: nothing else would pull them in.
    Q_INIT_RESOURCE(canslave_translations);
}

DialogTranslator::DialogTranslator()
{
    const QString language = dialogLanguage();
    if (language.isEmpty())
        return;
    initTranslationResources();
    auto translator = std::make_unique<QTranslator>();
    // Without an application to install into, the texts stay as they are.
    if (translator->load(QStringLiteral(":/canslave/translations/canslave_%1.qm").arg(language))
        && QCoreApplication::installTranslator(translator.get()))
        m_translator = translator.release();
}

DialogTranslator::~DialogTranslator()
{
    if (!m_translator)
        return;
    QCoreApplication::removeTranslator(m_translator);
    delete m_translator;
}
