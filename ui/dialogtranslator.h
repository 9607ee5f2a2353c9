#pragma once

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

private:
    QTranslator *m_translator = nullptr;
};
