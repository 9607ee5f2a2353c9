#include "ui/itabpage.h"

ITabpage::ITabpage(QWidget *parent)
    : QWidget(parent)
{
}
