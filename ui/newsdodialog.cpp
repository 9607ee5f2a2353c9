#include "ui/newsdodialog.h"

#include "model/canobject.h"
#include "model/hostservices.h"
#include "model/sdovalue.h"
#include "ui/parameterinedslisttable.h"

#include <hexspinbox.h>

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegExpValidator>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char valuePattern[] = "[\\+-]?\\d+\\.\\d+|[\\+-]?\\d+\\.\\d+[eE][\\+-]?\\d+|[\\+-]?\\d+[eE][\\+-]?\\d+"
                            "|[\\+-]?\\d+|16#[a-f\\dA-F]+|2#[01]+";

// An SDO carries 1 to 4 bytes; an object of unknown size takes one.
int sdoLength(int dataSize)
{
    return qBound(1, dataSize, 4);
}

} // namespace

NewSDODialog::NewSDODialog(QWidget *parent)
    : QDialog(parent)
{
    resize(800, 600);
    setWindowFlags(Qt::Window | Qt::WindowCloseButtonHint);

    m_okButton = new QPushButton(tr("OK"), this);
    m_cancelButton = new QPushButton(tr("Cancel"), this);
    m_parameters = new ParameterInEdsListTable(this);
    m_parameters->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_indexLabel = new QLabel(tr("Index(hex)"), this);
    m_subIndexLabel = new QLabel(tr("Sub Index(hex))"), this);
    m_indexBox = new HexSpinBox(this);
    m_indexBox->setRange(0x1, 0xFFFF);
    m_subIndexBox = new HexSpinBox(this);
    m_subIndexBox->setRange(0x0, 0xFF);
    m_lengthLabel = new QLabel(tr("Length"), this);
    m_lengthBox = new QSpinBox(this);
    m_lengthBox->setRange(1, 4);
    m_dataLabel = new QLabel(tr("Data"), this);
    m_dataEdit = new QLineEdit(this);
    m_dataEdit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_dataEdit->setValidator(
        new QRegExpValidator(QRegExp(QLatin1String(valuePattern), Qt::CaseInsensitive), m_dataEdit));
    m_indexLabel->setBuddy(m_indexBox);
    m_subIndexLabel->setBuddy(m_subIndexBox);
    m_lengthLabel->setBuddy(m_lengthBox);
    m_dataLabel->setBuddy(m_dataEdit);

    auto *editors = new QGridLayout;
    editors->addWidget(m_indexLabel, 0, 0);
    editors->addWidget(m_indexBox, 0, 1);
    editors->addWidget(m_subIndexLabel, 0, 2);
    editors->addWidget(m_subIndexBox, 0, 3);
    editors->addWidget(m_lengthLabel, 0, 4);
    editors->addWidget(m_lengthBox, 0, 5);
    editors->addWidget(m_dataLabel, 0, 6);
    editors->addWidget(m_dataEdit, 0, 7);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_parameters);
    layout->addLayout(editors);
    layout->addLayout(buttons);

    m_helpAction = new QAction(tr("help"), this);
    m_helpAction->setShortcut(QKeySequence(QStringLiteral("F1")));
    addAction(m_helpAction);

    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_lengthBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            QOverload<int>::of(&NewSDODialog::checkDataValid));
    connect(m_dataEdit, &QLineEdit::textChanged, this,
            QOverload<const QString &>::of(&NewSDODialog::checkDataValid));
    connect(m_helpAction, &QAction::triggered, this, &NewSDODialog::startHelpSystem);
    connect(m_parameters, &ParameterInEdsListTable::selectionChanged, this,
            &NewSDODialog::tblWidetItemSelectionChanged);
    connect(m_parameters, &ParameterInEdsListTable::currentItemChanged, this,
            &NewSDODialog::tblWidetCurrentItemChanged);
}

QList<SDOEntry> NewSDODialog::execNew(CanObject *slave)
{
    setWindowTitle(tr("New SDO"));
    showWritableParameters(slave);
    m_lengthBox->setValue(4);
    // An empty value keeps OK disabled from the start: OK never closes and adds nothing.
    checkDataValid(m_dataEdit->text());
    if (exec() != QDialog::Accepted)
        return {};

    // One chosen row, or none and an object typed by hand: the editors hold the SDO.
    const QList<int> rows = selectedRows();
    if (rows.size() <= 1) {
        SDOEntry entry;
        entry.index = quint16(m_indexBox->value());
        entry.subIndex = quint8(m_subIndexBox->value());
        entry.dataText = m_dataEdit->text();
        entry.length = quint8(m_lengthBox->value());
        entry.data = sdoValueBytes(entry.dataText, entry.length);
        entry.name = objectName(entry.index, entry.subIndex);
        return {entry};
    }

    QList<SDOEntry> entries;
    for (int row : qAsConst(rows)) {
        int index = 0;
        int subIndex = 0;
        if (!rowObject(row, index, subIndex))
            continue;
        SDOEntry entry;
        entry.index = quint16(index);
        entry.subIndex = quint8(subIndex);
        const int size = objectLength(index, subIndex);
        entry.length = quint8(size > 0 ? size : 4);
        entry.dataText = QStringLiteral("0");
        entry.data = sdoValueBytes(entry.dataText, entry.length);
        entry.name = objectName(index, subIndex);
        entries.append(entry);
    }
    return entries;
}

void NewSDODialog::execEdit(SDOEntry *entry, CanObject *slave)
{
    setWindowTitle(tr("Edit SDO"));
    if (!entry)
        return;
    showWritableParameters(slave);
    m_indexBox->setValue(entry->index);
    m_subIndexBox->setValue(entry->subIndex);
    m_lengthBox->setValue(entry->length);
    // A value read back from a block has bytes only; from now on it has a text.
    if (entry->dataText.isEmpty() && !entry->data.isEmpty()) {
        entry->data = sdoValueTail(entry->data, entry->length);
        entry->dataText = sdoBytesText(entry->data);
    }
    m_dataEdit->setText(entry->dataText);
    // setText does not signal when the text stays empty: check the value as it opens.
    checkDataValid(m_dataEdit->text());
    if (exec() != QDialog::Accepted)
        return;

    entry->index = quint16(m_indexBox->value());
    entry->subIndex = quint8(m_subIndexBox->value());
    entry->dataText = m_dataEdit->text();
    entry->length = quint8(m_lengthBox->value());
    entry->data = sdoValueBytes(entry->dataText, entry->length);
    EdsEntry object;
    if (m_slave && m_slave->findMappable(entry->index, entry->subIndex, object) >= 0)
        entry->name = object.parameterName;
}

void NewSDODialog::checkDataValid(int)
{
    checkDataValid(m_dataEdit->text());
}

void NewSDODialog::checkDataValid(const QString &strData)
{
    const bool valid = isSdoValueValid(strData, m_lengthBox->value());
    m_okButton->setEnabled(valid);
    QPalette palette = m_dataEdit->palette();
    palette.setBrush(QPalette::All, QPalette::Text, QBrush(valid ? QColor(0, 0, 0) : QColor(255, 0, 0)));
    m_dataEdit->setPalette(palette);
}

void NewSDODialog::startHelpSystem()
{
    openSlaveConfigHelp();
}

void NewSDODialog::insertParemeter_slot(int index, int subIndex, int value)
{
    m_indexBox->setValue(index);
    m_subIndexBox->setValue(subIndex);
    const int size = objectLength(index, subIndex);
    if (size > 0)
        m_lengthBox->setValue(size);
    if (m_dataEdit->text().isEmpty())
        m_dataEdit->setText(QString::number(value));
}

void NewSDODialog::tblWidetItemSelectionChanged()
{
    // Several rows are taken over with defaults; one row, or none and an object
    // typed by hand, is what the editors show and OK takes.
    const QList<int> rows = selectedRows();
    for (QWidget *editor : {static_cast<QWidget *>(m_indexBox), static_cast<QWidget *>(m_subIndexBox),
                            static_cast<QWidget *>(m_lengthBox), static_cast<QWidget *>(m_dataEdit)})
        editor->setEnabled(rows.size() <= 1);
    // Only a row the user selects changes the object: focus entering the list makes
    // a row current without selecting it, and must leave the editors alone.
    int index = 0;
    int subIndex = 0;
    if (rows.size() == 1 && rowObject(rows.first(), index, subIndex))
        insertParemeter_slot(index, subIndex, 0);
}

void NewSDODialog::tblWidetCurrentItemChanged(QTableWidgetItem *current, QTableWidgetItem *)
{
    // A click makes the row current before selecting it, so the selection handler
    // takes it; a selected row that becomes current is taken again, to the same effect.
    const QList<int> rows = selectedRows();
    int index = 0;
    int subIndex = 0;
    if (current && rows == QList<int>{current->row()} && rowObject(current->row(), index, subIndex))
        insertParemeter_slot(index, subIndex, 0);
}

QList<int> NewSDODialog::selectedRows() const
{
    QList<int> rows;
    const QList<QTableWidgetItem *> selected = m_parameters->table()->selectedItems();
    for (const QTableWidgetItem *item : selected) {
        if (!rows.contains(item->row()))
            rows.append(item->row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void NewSDODialog::showWritableParameters(CanObject *slave)
{
    m_slave = slave;
    // The master writes these values, so only objects that can be written are offered.
    m_parameters->fillTable(slave, PdoReceive);
}

int NewSDODialog::objectLength(int index, int subIndex) const
{
    EdsEntry object;
    if (!m_slave || m_slave->findMappable(index, subIndex, object) < 0)
        return 0;
    return sdoLength(dataTypeSize(object.dataType));
}

QString NewSDODialog::objectName(int index, int subIndex) const
{
    EdsEntry object;
    if (!m_slave || m_slave->findMappable(index, subIndex, object) < 0)
        return QString();
    return object.parameterName;
}

bool NewSDODialog::rowObject(int row, int &index, int &subIndex) const
{
    const QTableWidget *table = m_parameters->table();
    const QTableWidgetItem *indexItem = table->item(row, 0);
    const QTableWidgetItem *subIndexItem = table->item(row, 1);
    if (!indexItem || !subIndexItem)
        return false;
    index = indexItem->text().toInt(nullptr, 16);
    subIndex = subIndexItem->text().toInt(nullptr, 16);
    return true;
}
