#pragma once

#include "basemodule_global.h"

#include <QLineEdit>

// A line edit for names: Return and Enter end the edit without reaching the
// dialog's default button, so typing a name never closes the dialog.
class BASEMODULE_EXPORT MLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit MLineEdit(const QString &text = QString(), QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
