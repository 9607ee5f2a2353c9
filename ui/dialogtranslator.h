#pragma once

#include <QString>

class QTranslator;

// Speaks the user's language in the configuration dialog for as long as it
// lives: installs the plug-in's translation into the application and removes
// it again, so the host's own texts never change.
class DialogTranslator
{
public:
    DialogTranslator();
    ~DialogTranslator();
    DialogTranslator(const DialogTranslator &) = delete;
    DialogTranslator &operator=(const DialogTranslator &) = delete;

    // "zh_CN" or empty for the original texts.
    QString language() const { return m_language; }

private:
    QTranslator *m_translator = nullptr;
    QString m_language;
};

// The translation the dialog uses: "zh_CN" where the help would open in
// Chinese, empty otherwise.
QString dialogLanguage();
