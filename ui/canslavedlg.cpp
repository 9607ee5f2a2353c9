#include "ui/canslavedlg.h"

#include "ui/itabpage.h"
#include "model/canobject.h"
#include "ui/maptabledelegate.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int rowHeight = 20;
// The size the user gave the dialog, kept for the rest of the session.
QSize userSize;

} // namespace

QSize dialogOpeningSize(const CanObject &slave, const QSize &hint, const QSize &screen)
{
    int mapped = 0;
    for (const PDOConfig &pdo : slave.pdoList)
        mapped += pdo.mapList.size();
    const int pdoRows = slave.edsPdoList.size() + slave.pdoList.size();
    const int extraRows = qMax(0, qMax(pdoRows - 16, mapped - 18));
    const QSize size = QSize(800, 600 + extraRows * rowHeight).expandedTo(hint);
    return screen.isValid() ? size.boundedTo(screen * 9 / 10) : size;
}

CanSlaveDlg::CanSlaveDlg(QWidget *parent, bool readOnly)
    : QDialog(parent)
{
    resize(800, 600);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);

    m_tabs = new QTabWidget(this);
    m_okButton = new QPushButton(tr("&OK"), this);
    m_cancelButton = new QPushButton(tr("&Cancel"), this);
    m_helpButton = new QPushButton(tr("Help"), this);

    auto *buttons = new QHBoxLayout;
    buttons->addItem(new QSpacerItem(1, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_helpButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);

    connect(m_tabs, &QTabWidget::currentChanged, this, &CanSlaveDlg::tabCurrentChanged);
    connect(m_helpButton, &QPushButton::clicked, this, &CanSlaveDlg::startHelpSystem);
    connect(m_okButton, &QPushButton::clicked, this, &CanSlaveDlg::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    // A read-only dialog can be browsed and even edited, but only left by rejecting it.
    m_okButton->setEnabled(!readOnly);
}

void CanSlaveDlg::addPage(int index, ITabpage *page, const QString &title)
{
    const int at = m_tabs->insertTab(index, page, title);
    // Keep the list in tab order, whatever order the pages arrive in.
    m_pages.insert(qBound(0, at, m_pages.size()), page);
}

bool CanSlaveDlg::run(CanObject *slave)
{
    m_slave = slave;
    for (ITabpage *page : qAsConst(m_pages))
        page->setCanObject(slave);
    const QScreen *screen = QGuiApplication::primaryScreen();
    resize(userSize.isValid() ? userSize : dialogOpeningSize(*slave, sizeHint(), screen ? screen->availableSize() : QSize()));
    m_openedSize = size();
    const int result = exec();
    if (size() != m_openedSize)
        userSize = size();
    if (result != QDialog::Accepted)
        return false;
    for (ITabpage *page : qAsConst(m_pages))
        page->applyToCanObject();
    return true;
}

void CanSlaveDlg::tabCurrentChanged(int index)
{
    // A page shown anew refreshes itself from the working copy.
    auto *page = qobject_cast<ITabpage *>(m_tabs->widget(index));
    if (page && m_slave)
        page->setCanObject(m_slave);
}

void CanSlaveDlg::startHelpSystem()
{
    if (auto *page = qobject_cast<ITabpage *>(m_tabs->currentWidget()))
        page->startHelpSystem();
}

void CanSlaveDlg::accept()
{
    // A memory place refused as its editor was left (pressing OK leaves it) must
    // not pass for done: the user keeps the old place or goes back to the editor.
    const QList<MapTableDelegate *> delegates = findChildren<MapTableDelegate *>();
    for (MapTableDelegate *delegate : delegates) {
        if (!delegate->hasRefusedMove())
            continue;
        const QString question = delegate->refusedMoveQuestion();
        if (question.isEmpty()) {
            delegate->dropRefusedMove();
            continue;
        }
        QMessageBox box(QMessageBox::Question, windowTitle(), question, QMessageBox::Yes | QMessageBox::No, this);
        box.button(QMessageBox::Yes)->setText(tr("Keep Old Place"));
        box.button(QMessageBox::No)->setText(tr("Back to Editor"));
        if (box.exec() == QMessageBox::Yes) {
            delegate->dropRefusedMove();
            continue;
        }
        const auto *table = qobject_cast<QWidget *>(delegate->parent());
        for (ITabpage *page : qAsConst(m_pages)) {
            if (table && page->isAncestorOf(table))
                m_tabs->setCurrentWidget(page);
        }
        delegate->reopenRefusedMove();
        return;
    }
    QDialog::accept();
}
