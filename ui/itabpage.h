#pragma once

#include <QWidget>

class CanObject;

// Base of every page of the slave configuration dialog. A page borrows the
// slave it edits and never deletes it.
class ITabpage : public QWidget
{
    Q_OBJECT
public:
    explicit ITabpage(QWidget *parent);

    // Stores the slave and fills the widgets from it; null is ignored.
    virtual void setCanObject(CanObject *slave) = 0;
    // Writes the widgets back into the slave; only called after OK.
    virtual void applyToCanObject() = 0;

public slots:
    virtual void startHelpSystem() = 0;
};
