#pragma once

#include "ui/itabpage.h"

class PDOParameterListTable;
class QAction;

// The I/O mapping tab: every mapped object of every PDO with its PLC memory
// place. Edits go into the slave and the memory book at once.
class ParaListPage : public ITabpage
{
    Q_OBJECT
public:
    explicit ParaListPage(QWidget *parent);

    void setCanObject(CanObject *slave) override;
    void applyToCanObject() override;
    PDOParameterListTable *mappedTable() const { return m_table; }

public slots:
    void startHelpSystem() override;

private:
    PDOParameterListTable *m_table = nullptr;
};
