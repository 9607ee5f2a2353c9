#pragma once

#include "basemodule_global.h"

#include <QSpinBox>

// A spin box that shows and takes its value in upper-case hexadecimal, without prefix.
class BASEMODULE_EXPORT HexSpinBox : public QSpinBox
{
    Q_OBJECT
public:
    explicit HexSpinBox(QWidget *parent = nullptr);

protected:
    QValidator::State validate(QString &text, int &pos) const override;
    int valueFromText(const QString &text) const override;
    QString textFromValue(int value) const override;
};
