#include "ui/newsdodialog.h"

#include "model/canobject.h"
#include "model/hostservices.h"
#include "model/sdovalue.h"
#include "ui/datatypetext.h"
#include "ui/parameterinedslisttable.h"
#include "ui/sdoobjects.h"
#include "ui/sdovaluecheck.h"

#include <hexspinbox.h>

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegExpValidator>
#include <QSignalBlocker>
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
    m_objectLabel = new QLabel(this);
    m_problemLabel = new QLabel(this);
    QPalette warning = m_problemLabel->palette();
    warning.setColor(QPalette::WindowText, QColor(255, 0, 0));
    m_problemLabel->setPalette(warning);
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
    // Below them, what the object is on the left and what is wrong with the value on the right.
    auto *notes = new QHBoxLayout;
    notes->addWidget(m_objectLabel);
    notes->addStretch();
    notes->addWidget(m_problemLabel);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_parameters);
    layout->addLayout(editors);
    layout->addLayout(notes);
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
    connect(m_indexBox, QOverload<int>::of(&QSpinBox::valueChanged), this, &NewSDODialog::objectChanged);
    connect(m_subIndexBox, QOverload<int>::of(&QSpinBox::valueChanged), this, &NewSDODialog::objectChanged);
    connect(m_parameters, &ParameterInEdsListTable::selectionChanged, this,
            &NewSDODialog::tblWidetItemSelectionChanged);
}

QList<SDOEntry> NewSDODialog::execNew(CanObject *slave)
{
    setWindowTitle(tr("New SDO"));
    showWritableParameters(slave);
    m_lengthBox->setValue(m_lengthBox->maximum());
    // The boxes' first values are no object the user chose: until a row is chosen
    // or an index typed, OK stays disabled.
    m_objectNamed = false;
    showObject();
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
        const auto [index, subIndex] = rowObject(row);
        SDOEntry entry;
        entry.index = quint16(index);
        entry.subIndex = quint8(subIndex);
        entry.length = quint8(rowLength(index, subIndex));
        // One value for every object chosen, checked against each of them.
        entry.dataText = m_dataEdit->text();
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
    {
        // The boxes show the entry as it stands; the user has changed nothing yet.
        const QSignalBlocker indexBlocker(m_indexBox), subIndexBlocker(m_subIndexBox);
        m_indexBox->setValue(entry->index);
        m_subIndexBox->setValue(entry->subIndex);
    }
    // An entry names its object, whether the EDS knows it or not.
    m_objectNamed = true;
    showObject();
    // The entry's own length, even where it differs from its object's size: untouched, it stays.
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

    const bool sameObject = entry->index == m_indexBox->value() && entry->subIndex == m_subIndexBox->value();
    entry->index = quint16(m_indexBox->value());
    entry->subIndex = quint8(m_subIndexBox->value());
    entry->dataText = m_dataEdit->text();
    entry->length = quint8(m_lengthBox->value());
    entry->data = sdoValueBytes(entry->dataText, entry->length);
    // Another object the EDS does not define has no name; the old one was another object's.
    if (m_objectKnown)
        entry->name = m_object.parameterName;
    else if (!sameObject)
        entry->name.clear();
}

void NewSDODialog::checkDataValid(int)
{
    checkDataValid(m_dataEdit->text());
}

void NewSDODialog::checkDataValid(const QString &strData)
{
    SdoValueProblem problem;
    QString typeName;
    const QList<int> rows = selectedRows();
    if (rows.size() > 1) {
        // Each chosen object gets the value: it must suit every one of them.
        for (int row : rows) {
            const auto [index, subIndex] = rowObject(row);
            EdsEntry object;
            const bool known = m_slave && dictionaryEntry(*m_slave, index, subIndex, object);
            problem = sdoValueProblem(strData, rowLength(index, subIndex), known ? &object : nullptr, m_slave ? m_slave->nodeId : 0);
            typeName = dataTypeText(object.dataType);
            if (problem.kind != SdoValueProblem::None)
                break;
        }
    } else {
        problem = sdoValueProblem(strData, m_lengthBox->value(), m_objectKnown ? &m_object : nullptr,
                                  m_slave ? m_slave->nodeId : 0);
        typeName = dataTypeText(m_object.dataType);
    }
    const bool chosen = m_objectNamed || !rows.isEmpty();
    const bool valid = chosen && problem.kind == SdoValueProblem::None;
    m_okButton->setEnabled(valid);
    QPalette palette = m_dataEdit->palette();
    const bool valueFits = problem.kind == SdoValueProblem::None;
    palette.setBrush(QPalette::All, QPalette::Text, QBrush(valueFits ? QColor(0, 0, 0) : QColor(255, 0, 0)));
    m_dataEdit->setPalette(palette);
    m_problemLabel->setText(chosen ? problemText(problem, typeName) : tr("Choose an object in the list or type its index."));
}

QString NewSDODialog::problemText(const SdoValueProblem &problem, const QString &typeName) const
{
    switch (problem.kind) {
    case SdoValueProblem::None: return QString();
    case SdoValueProblem::Empty: return tr("Type a value.");
    case SdoValueProblem::Length: return tr("The value does not fit in %1 bytes.").arg(m_lengthBox->value());
    case SdoValueProblem::WholeNumber: return tr("%1 takes whole numbers only.").arg(typeName);
    case SdoValueProblem::DecimalPoint: return tr("A floating point value needs a decimal point, as in 1.0.");
    case SdoValueProblem::TypeRange: return tr("%1 takes %2 to %3.").arg(typeName).arg(problem.low).arg(problem.high);
    case SdoValueProblem::Limits: return tr("The EDS allows %1 to %2 only.").arg(problem.low).arg(problem.high);
    }
    return QString();
}

void NewSDODialog::objectChanged()
{
    m_objectNamed = true;
    showObject();
    checkDataValid(m_dataEdit->text());
}

void NewSDODialog::showObject()
{
    m_objectKnown = m_slave && dictionaryEntry(*m_slave, m_indexBox->value(), m_subIndexBox->value(), m_object);
    if (!m_objectKnown) {
        m_object = EdsEntry();
        // Until an object is chosen, the boxes' first values name none.
        m_objectLabel->setText(m_objectNamed ? tr("Not in the EDS: choose the length.") : QString());
        return;
    }
    const int length = sdoObjectLength(m_object);
    if (length > 0)
        m_lengthBox->setValue(length);
    m_objectLabel->setText(length > 0 ? tr("%1: %2, %3 bytes").arg(m_object.parameterName, dataTypeText(m_object.dataType)).arg(length)
                                      : tr("%1: %2").arg(m_object.parameterName, dataTypeText(m_object.dataType)));
}

void NewSDODialog::startHelpSystem()
{
    openSlaveConfigHelp();
}

void NewSDODialog::insertParemeter_slot(int index, int subIndex, int value)
{
    // The boxes look the object up as they change.
    m_indexBox->setValue(index);
    m_subIndexBox->setValue(subIndex);
    if (m_dataEdit->text().isEmpty())
        m_dataEdit->setText(QString::number(value));
}

void NewSDODialog::tblWidetItemSelectionChanged()
{
    // Several rows are taken over with defaults; one row, or none and an object
    // typed by hand, is what the editors show and OK takes.
    // The value field stays open: its value is what each chosen object gets.
    const QList<int> rows = selectedRows();
    for (QWidget *editor : {static_cast<QWidget *>(m_indexBox), static_cast<QWidget *>(m_subIndexBox),
                            static_cast<QWidget *>(m_lengthBox)})
        editor->setEnabled(rows.size() <= 1);
    if (rows.size() > 1 && m_dataEdit->text().isEmpty())
        m_dataEdit->setText(QStringLiteral("0"));
    // Only a row the user selects changes the object: focus entering the list makes
    // a row current without selecting it, and must leave the editors alone.
    if (rows.size() == 1) {
        const auto [index, subIndex] = rowObject(rows.first());
        insertParemeter_slot(index, subIndex, 0);
    }
    checkDataValid(m_dataEdit->text());
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
    // The master writes these values at start-up: every object it may write is offered.
    m_parameters->fillEntries(slave ? startupWritableObjects(*slave) : QList<EdsEntry>());
}

int NewSDODialog::rowLength(int index, int subIndex) const
{
    EdsEntry object;
    if (!m_slave || !dictionaryEntry(*m_slave, index, subIndex, object))
        return m_lengthBox->maximum();
    return sdoLength(sdoObjectLength(object));
}

QString NewSDODialog::objectName(int index, int subIndex) const
{
    EdsEntry object;
    if (!m_slave || !dictionaryEntry(*m_slave, index, subIndex, object))
        return QString();
    return object.parameterName;
}

QPair<int, int> NewSDODialog::rowObject(int row) const
{
    // The list fills every cell of a row at once.
    const QTableWidget *table = m_parameters->table();
    return qMakePair(table->item(row, 0)->text().toInt(nullptr, 16), table->item(row, 1)->text().toInt(nullptr, 16));
}
