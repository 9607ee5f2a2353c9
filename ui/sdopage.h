#pragma once

#include "ui/itabpage.h"

class CanObject;
class QAction;
class QGroupBox;
class QMenu;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
struct SDOEntry;

// The automatic SDOs the master writes into the device at start-up, at most
// eight, in the order they are written. Changes go into the slave at once.
class SdoPage : public ITabpage
{
    Q_OBJECT
public:
    explicit SdoPage(QWidget *parent);

    void setCanObject(CanObject *slave) override;
    void applyToCanObject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    QTableWidget *sdoTable() const { return m_table; }
    QMenu *contextMenu() const { return m_menu; }

    static constexpr int maxSdoCount = 8;

public slots:
    void add_slot();
    void remove_slot();
    void edit_slot();
    void sdotableDoubleClicked_slot(QTableWidgetItem *item);
    bool hasReachedMaxSdo();
    void insertNewAudoSdo();
    void startHelpSystem() override;

private:
    void fillTable();
    void showSdo(int row, const SDOEntry &sdo);
    void showLimitReached();
    // The position of another SDO that writes the same object as sdo; -1 when there is none.
    int samePlaceAs(const SDOEntry &sdo, int except) const;
    // Asked when an SDO repeats an object already in the list: Yes replaces, No adds, Cancel drops.
    int askAboutRepeat(const SDOEntry &sdo);

    QGroupBox *m_group = nullptr;
    QTableWidget *m_table = nullptr;
    QPushButton *m_addButton = nullptr;
    QPushButton *m_removeButton = nullptr;
    QPushButton *m_editButton = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_helpAction = nullptr;
    CanObject *m_slave = nullptr;
};
