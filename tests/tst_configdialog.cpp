// The configuration dialog as a host opens it: edits on its pages, then OK,
// Cancel, Esc or the close button, what the host's slave and memory book look
// like afterwards, and the dialog in Simplified Chinese.

#include "modalanswerer.h"
#include "plugin/canslave.h"
#include "plugin/hostservices.h"
#include "testslave.h"
#include "widgetfinding.h"
#include "ui/canslavedlg.h"
#include "ui/memoryeditwidget.h"
#include "ui/newpdodialog.h"
#include "ui/newsdodialog.h"
#include "ui/paralistpage.h"
#include "ui/pdoparametereditdialog.h"
#include "ui/pdoparameterlisttable.h"
#include "ui/pdopage.h"
#include "ui/pdoproperty.h"
#include "ui/slaveinfopage.h"

#include <QtTest>
#include <QtWidgets>

#include <helpsharemodule.h>

namespace {

const QString key = QStringLiteral("/stations/dialog.hwc");
const QStringList tabTitles{"CANopen Slave Device", "PDO Config", "SDO Config", "CANopen I/O Mapping"};

// Every reserved byte as (area, offset): runs of neighbouring places merge in the book.
QSet<QPair<int, int>> reservedBytes()
{
    QSet<QPair<int, int>> bytes;
    for (const MemoryReservation &run : memoryReservations(key)) {
        for (int offset = run.offset; offset < run.offset + run.size; ++offset)
            bytes.insert({run.area, offset});
    }
    return bytes;
}

QTableWidget *mappingTable(QWidget *dialog)
{
    return dialog->findChild<ParaListPage *>()->mappedTable()->table();
}

// Opens the memory editor of row and types offset, leaving it open.
MemoryEditWidget *typeOffset(QTableWidget *table, int row, const QString &offset)
{
    doubleClickCell(table, row, 4);
    auto *editor = table->viewport()->findChild<MemoryEditWidget *>();
    if (editor)
        typeInto(editor->offsetBox(), offset);
    return editor;
}

// Node id 9 and a new name on the device page, then Output 2 removed on the mapping page.
void editEveryPage(QWidget *dialog)
{
    auto *combo = dialog->findChild<SlaveInfoPage *>()->findChild<QComboBox *>();
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Up);
    typeInto(dialog->findChild<SlaveInfoPage *>()->findChild<QLineEdit *>(), QStringLiteral("Conveyor IO"));
    showTab(dialog, tabTitles.at(3));
    clickCell(mappingTable(dialog), 1, 2);
    QTest::keyClick(mappingTable(dialog), Qt::Key_Delete);
    QCOMPARE(mappingTable(dialog)->rowCount(), 6);
}

// The texts a widget and its children show ("chrome"), and the values in its tables.
void collectTexts(QWidget *root, QStringList &chrome, QStringList &values)
{
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (QWidget *w : qAsConst(widgets)) {
        chrome << w->windowTitle() << w->property("title").toString(); // group boxes
        if (qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w))
            chrome << w->property("text").toString();
        const auto *tabs = qobject_cast<QTabWidget *>(w);
        for (int i = 0; tabs && i < tabs->count(); ++i)
            chrome << tabs->tabText(i);
        const auto *combo = qobject_cast<QComboBox *>(w);
        for (int i = 0; combo && i < combo->count(); ++i)
            chrome << combo->itemText(i);
        const auto *view = qobject_cast<QTableView *>(w);
        for (int column = 0; view && column < view->model()->columnCount(); ++column) {
            chrome << view->model()->headerData(column, Qt::Horizontal).toString();
            for (int row = 0; row < view->model()->rowCount(); ++row)
                values << view->model()->index(row, column).data().toString();
        }
    }
    for (const QAction *action : root->findChildren<QAction *>()) // context menus, shortcuts
        chrome << action->text();
}

// What the dialog shows without a finished zh_CN translation: entries of the .ts
// still to translate, chrome no finished translation matches (numbers, symbols
// and the user's data aside), and table values whose source the .ts translates.
QStringList untranslated(const QStringList &chrome, const QStringList &values, const QSet<QString> &data)
{
    QStringList lacking;
    QList<QRegularExpression> translations; // "%1" matching anything
    QSet<QString> changedSources;
    QFile file(QStringLiteral(CANSLAVE_ZH_CN_TS));
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString type = xml.attributes().value(QLatin1String("type")).toString();
        if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        if (xml.name() != QLatin1String("translation") || type == QLatin1String("vanished") || type == QLatin1String("obsolete"))
            continue;
        const QString text = xml.readElementText();
        if (!type.isEmpty() || text.isEmpty()) {
            lacking << source;
            continue;
        }
        const QString pattern = QRegularExpression::escape(text).replace(QRegularExpression(QStringLiteral("\\\\%\\d")), QStringLiteral(".+"));
        translations << QRegularExpression(QRegularExpression::anchoredPattern(pattern));
        if (text != source)
            changedSources << source;
    }
    static const QRegularExpression noWords(QStringLiteral("^([0-9A-F]+|[\\W\\d_]*)$"));
    for (const QString &text : chrome) {
        const bool translated = std::any_of(translations.cbegin(), translations.cend(),
                                            [&](const QRegularExpression &re) { return re.match(text).hasMatch(); });
        if ((!translated || changedSources.contains(text)) && !noWords.match(text).hasMatch() && !data.contains(text))
            lacking << text;
    }
    lacking += (QSet<QString>(values.cbegin(), values.cend()) & changedSources).values();
    lacking.removeDuplicates();
    return lacking;
}

} // namespace

class tst_ConfigDialog : public QObject
{
    Q_OBJECT

    // The user's steps inside the dialog; a failed check leaves it open, so it is closed then.
    int runDialog(bool readOnly, std::function<void(QWidget *)> user)
    {
        ModalAnswerer answerer;
        answerer.onDialog(user, QStringLiteral("configuration dialog"));
        const int result = configCanObject(&slave, {3, 9, 17}, nullptr, readOnly);
        if (!answerer.failure().isEmpty())
            qWarning("%s", qPrintable(answerer.failure()));
        return result;
    }

    CanObject slave;

private slots:
    void init()
    {
        clearAllMemory();
        resetHelpRequests();
        slave = makeTestSlave(key);
    }
    void cleanup() { setHelpLanguage(QString()); }

    void leavingAfterEdits_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("expected");
        QTest::newRow("OK") << "ok" << false << 0;
        QTest::newRow("Cancel") << "cancel" << false << 1;
        QTest::newRow("Esc") << "escape" << false << 1;
        QTest::newRow("close button") << "close" << false << 1;
        QTest::newRow("read-only, OK pressed") << "ok" << true << 1;
        QTest::newRow("read-only, accepted by code") << "accept" << true << 1;
    }
    void leavingAfterEdits()
    {
        QFETCH(QString, how);
        QFETCH(bool, readOnly);
        QFETCH(int, expected);
        const CanObject before = slave;
        const QSet<QPair<int, int>> reservationsBefore = reservedBytes();
        const int result = runDialog(readOnly, [&](QWidget *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("CANopen Slave Config"));
            QCOMPARE(childWithText<QPushButton>(dialog, QStringLiteral("&OK"))->isEnabled(), !readOnly);
            // Browsing and editing work either way.
            editEveryPage(dialog);
            if (how == QLatin1String("ok") || how == QLatin1String("cancel"))
                clickButton(dialog, how == QLatin1String("ok") ? QStringLiteral("&OK") : QStringLiteral("&Cancel"));
            else if (how == QLatin1String("escape"))
                QTest::keyClick(dialog, Qt::Key_Escape);
            else if (how == QLatin1String("accept"))
                qobject_cast<QDialog *>(dialog)->accept();
            else
                dialog->close();
        });
        QCOMPARE(result, expected);
        QCOMPARE(memorySnapshotDepth(key), 0);
        if (expected == 1) {
            QString difference;
            QVERIFY2(sameSlave(slave, before, &difference), qPrintable(difference));
            QCOMPARE(reservedBytes(), reservationsBefore);
            return;
        }
        QCOMPARE(int(slave.nodeId), 9);
        QCOMPARE(slave.pdo(0x1400)->nodeId, quint8(9));
        QCOMPARE(slave.name, QStringLiteral("Conveyor IO"));
        QCOMPARE(slave.pdo(0x1400)->mapList.size(), 2);
        // Output 2 (%Q1) is free again.
        QSet<QPair<int, int>> expectedBytes = reservationsBefore;
        expectedBytes.remove({VarAreaOutput, 1});
        QCOMPARE(reservedBytes(), expectedBytes);
    }

    // A page shown anew shows what the other pages changed.
    void otherTabsShowTheEdits()
    {
        runDialog(false, [](QWidget *dialog) {
            showTab(dialog, tabTitles.at(3));
            clickCell(mappingTable(dialog), 0, 2);
            QTest::keyClick(mappingTable(dialog), Qt::Key_Delete);
            showTab(dialog, tabTitles.at(1));
            auto *pdoPage = dialog->findChild<PDOpage *>();
            QCOMPARE(pdoPage->mappedTable()->item(0, 3)->text(), QStringLiteral("3"));
            clickCell(pdoPage->mappedTable(), 2, 0);
            clickButton(pdoPage, QStringLiteral("Remove"));
            showTab(dialog, tabTitles.at(3));
            QCOMPARE(columnTexts(mappingTable(dialog), 0), QStringList({"6200", "6411", "7000", "6200"}));
        });
    }

    void openMemoryEditorIsKept_data()
    {
        QTest::addColumn<QString>("leaveBy");
        QTest::newRow("OK") << "&OK";
        QTest::newRow("tab change") << "PDO Config";
        QTest::newRow("focus to Help") << "Help";
    }
    void openMemoryEditorIsKept()
    {
        QFETCH(QString, leaveBy);
        const int result = runDialog(false, [&](QWidget *dialog) {
            showTab(dialog, tabTitles.at(3));
            QPointer<MemoryEditWidget> editor = typeOffset(mappingTable(dialog), 5, QStringLiteral("40"));
            QVERIFY(editor);
            leaveBy.startsWith('P') ? showTab(dialog, leaveBy) : clickButton(dialog, leaveBy);
            if (leaveBy != QLatin1String("&OK")) {
                QTRY_VERIFY(!editor || !editor->isVisible());
                QVERIFY(leaveBy != "Help" || QApplication::focusWidget() == childWithText<QPushButton>(dialog, leaveBy));
                QCOMPARE(mappingTable(dialog)->item(5, 4)->text(), QStringLiteral("%I,40"));
                clickButton(dialog, QStringLiteral("&OK"));
            }
        });
        QCOMPARE(result, 0);
        QCOMPARE(slave.pdo(0x1800)->mapList.at(0).offset, 40);
        QCOMPARE(getMemory(key, VarAreaInput, 40, 1), 0);
        QCOMPARE(getMemory(key, VarAreaInput, 0, 1), 1);
    }

    void helpFromEveryPage_data()
    {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<bool>("byKey");
        for (const QString &tab : tabTitles) {
            QTest::addRow("%s, Help button", qPrintable(tab)) << tab << false;
            QTest::addRow("%s, F1", qPrintable(tab)) << tab << true;
        }
    }
    void helpFromEveryPage()
    {
        QFETCH(QString, tab);
        QFETCH(bool, byKey);
        setHelpLanguage(QStringLiteral("en"));
        runDialog(false, [&](QWidget *dialog) {
            showTab(dialog, tab);
            if (byKey)
                QTest::keyClick(dialog->findChild<QTabWidget *>()->currentWidget(), Qt::Key_F1);
            else
                clickButton(dialog, QStringLiteral("Help"));
        });
        QCOMPARE(helpRequestCount(), 1);
        QCOMPARE(lastHelpKeyWord(), QStringLiteral("Config CANopen Slave in HW Config"));
    }

    void nullSlaveChangesNothing()
    {
        QCOMPARE(configCanObject(nullptr, {3}, nullptr, false), 1);
        QCOMPARE(memorySnapshotDepth(QString()), 0);
    }

    void speaksTheHelpLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("Chinese") << "zh_CN";
        QTest::newRow("English") << "en";
    }
    // Every page and every sub-dialog built while the dialog's translator is in.
    void speaksTheHelpLanguage()
    {
        QFETCH(QString, language);
        const bool chinese = language == QLatin1String("zh_CN");
        const auto tabTitle = [] { return QCoreApplication::translate("CanSlaveDlg", "PDO Config"); };
        slave.name = QStringLiteral("Unknown Device"); // as restore names a slave whose EDS is lost
        CanObject copy = slave;
        QStringList chrome, values;
        QString inside, shownName;
        setHelpLanguage(language);
        runDialog(false, [&](QWidget *dialog) {
            inside = tabTitle();
            shownName = dialog->findChild<SlaveInfoPage *>()->findChild<QLineEdit *>()->text();
            collectTexts(dialog, chrome, values);
            auto *memoryEditor = new MemoryEditWidget(dialog); // the mapping tables' place editor
            memoryEditor->setValue(copy.pdoList.first().mapList.last(), PdoReceive);
            // The dialogs' information boxes answer with Qt's own OK button.
            for (QWidget *sub : std::initializer_list<QWidget *>{
                     memoryEditor, new PDOParameterEditDialog(&copy, &copy.pdoList.first(), dialog),
                     new PDOProperty(&copy.pdoList.first(), dialog), new PDOProperty(&copy.pdoList.last(), dialog),
                     new NewPDODialog(dialog), new NewSDODialog(dialog),
                     new QMessageBox(QMessageBox::Information, {}, {}, QMessageBox::Ok, dialog)})
                collectTexts(sub, chrome, values);
            qobject_cast<QDialog *>(dialog)->accept();
        });
        QCOMPARE(inside != tabTitle(), chinese);
        QCOMPARE(shownName != slave.name, chinese);
        QCOMPARE(slave.name, QStringLiteral("Unknown Device"));
        if (!chinese)
            return;
        QSet<QString> data; // the property dialog's label shows the PDO's name
        for (const PDOConfig &pdo : qAsConst(copy.pdoList))
            data << pdo.name;
        const QStringList lacking = untranslated(chrome, values, data);
        QVERIFY2(lacking.isEmpty(), qPrintable(QStringLiteral("no finished zh_CN translation (run scripts/update-translations, "
                                                              "then translate): \"%1\"").arg(lacking.join(QLatin1String("\", \"")))));
    }
};

QTEST_MAIN(tst_ConfigDialog)
#include "tst_configdialog.moc"
