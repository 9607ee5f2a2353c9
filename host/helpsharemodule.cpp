#include "helpsharemodule.h"

#include <QLocale>
#include <QTextCodec>

namespace {

struct HelpState {
    HelpHandler handler = nullptr;
    QString lastKeyword;
    int requests = 0;
    QString language;
};

HelpState &state()
{
    static HelpState instance;
    return instance;
}

bool chineseUi()
{
    if (!state().language.isEmpty())
        return state().language.startsWith(QLatin1String("zh"));
    return QLocale().language() == QLocale::Chinese;
}

} // namespace

QString helpKeyWord(const QByteArray &first, const QByteArray &second)
{
    if (chineseUi()) {
        if (QTextCodec *gb = QTextCodec::codecForName("GB2312"))
            return gb->toUnicode(second);
    }
    return QString::fromLatin1(first);
}

void startHelpSys(const QString &keyword)
{
    state().lastKeyword = keyword;
    ++state().requests;
    if (state().handler)
        state().handler(keyword);
}

void setHelpHandler(HelpHandler handler)
{
    state().handler = handler;
}

QString lastHelpKeyWord()
{
    return state().lastKeyword;
}

int helpRequestCount()
{
    return state().requests;
}

void resetHelpRequests()
{
    state().lastKeyword.clear();
    state().requests = 0;
}

void setHelpLanguage(const QString &language)
{
    state().language = language;
}
