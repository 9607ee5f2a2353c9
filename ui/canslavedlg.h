#pragma once

#include <QDialog>
#include <QList>
#include <QSize>

class CanObject;
class ITabpage;
class QPushButton;
class QTabWidget;

// Tall enough for the PDO page's two tables and the I/O page's one to show every
// row (a drive may offer and use dozens of PDOs), within 9/10 of a valid screen.
QSize dialogOpeningSize(const CanObject &slave, const QSize &hint, const QSize &screen);

// The modal slave configuration dialog: a tab per page, OK, Cancel and Help.
class CanSlaveDlg : public QDialog
{
    Q_OBJECT
public:
    CanSlaveDlg(QWidget *parent, bool readOnly);

    void addPage(int index, ITabpage *page, const QString &title);
    // Hands the slave, never null, to every page, shows the dialog and, when
    // accepted, lets every page write back. True when the user accepted.
    bool run(CanObject *slave);

public slots:
    void accept() override;
    void tabCurrentChanged(int index);
    void startHelpSystem();

private:
    QTabWidget *m_tabs = nullptr;
    QList<ITabpage *> m_pages;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QPushButton *m_helpButton = nullptr;
    CanObject *m_slave = nullptr;
    QSize m_openedSize;
};
