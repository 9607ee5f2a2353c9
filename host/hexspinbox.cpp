#include "hexspinbox.h"

HexSpinBox::HexSpinBox(QWidget *parent)
    : QSpinBox(parent)
{
    setDisplayIntegerBase(16);
}

QValidator::State HexSpinBox::validate(QString &text, int &pos) const
{
    Q_UNUSED(pos)
    const QString digits = text.trimmed();
    if (digits.isEmpty())
        return QValidator::Intermediate;
    bool ok;
    const qlonglong value = digits.toLongLong(&ok, 16);
    if (!ok)
        return QValidator::Invalid;
    if (value > maximum())
        return QValidator::Invalid;
    return value < minimum() ? QValidator::Intermediate : QValidator::Acceptable;
}

int HexSpinBox::valueFromText(const QString &text) const
{
    return int(text.trimmed().toLongLong(nullptr, 16));
}

QString HexSpinBox::textFromValue(int value) const
{
    return QString::number(value, 16).toUpper();
}
