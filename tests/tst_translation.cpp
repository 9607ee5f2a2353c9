// The dialog in Simplified Chinese: every text it shows has a finished
// translation in the .ts, and the translation leaves with the dialog.

#include "modalanswerer.h"
#include "plugin/hostservices.h"
#include "testslave.h"
#include "ui/configureslave.h"
#include "ui/memoryeditwidget.h"
#include "ui/newpdodialog.h"
#include "ui/newsdodialog.h"
#include "ui/pdoparametereditdialog.h"
#include "ui/pdoproperty.h"
#include "ui/slaveinfopage.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const QString key = QStringLiteral("/stations/translation.hwc");

// What the dialog shows without a finished translation: entries of the .ts still
// to translate, chrome that is no finished translation (numbers, symbols and the
// user's data aside), and table values whose source the .ts translates.
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

// The texts the dialog puts on a widget and its children ("chrome"), and the
// values in its tables.
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
    const QList<QAction *> actions = root->findChildren<QAction *>();  // context menus, shortcuts
    for (const QAction *action : actions)
        chrome << action->text();
}

} // namespace

class tst_Translation : public QObject
{
    Q_OBJECT
private slots:
    void init() { clearMemory(key); }
    void cleanup() { setHelpLanguage(QString()); }

    void dialogSpeaksUserLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("Chinese UI") << "zh_CN";
        QTest::newRow("English UI") << "en";
    }

    // Every page and every sub-dialog built while the dialog's translator is in.
    void dialogSpeaksUserLanguage()
    {
        QFETCH(QString, language);
        const bool chinese = language == QLatin1String("zh_CN");
        const auto tabTitle = [] { return QCoreApplication::translate("CanSlaveDlg", "PDO Config"); };
        const QString original = tabTitle();
        CanObject slave = makeTestSlave(key);
        slave.name = QStringLiteral("Unknown Device");  // as restore names a slave whose EDS is lost
        CanObject copy = slave;
        QStringList chrome, values;
        QString inside, shownName;
        setHelpLanguage(language);
        ModalAnswerer answerer;
        answerer.onModal([&](QWidget *dialog) {
            inside = tabTitle();
            shownName = dialog->findChild<SlaveInfoPage *>()->findChild<QLineEdit *>()->text();
            collectTexts(dialog, chrome, values);
            auto *memoryEditor = new MemoryEditWidget(dialog);  // the mapping tables' place editor
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
        configureSlave(&slave, {3, 9}, nullptr, false);
        QCOMPARE(inside != original, chinese);
        QCOMPARE(shownName != slave.name, chinese);
        QCOMPARE(slave.name, QStringLiteral("Unknown Device"));
        QCOMPARE(tabTitle(), original);
        if (!chinese)
            return;

        QSet<QString> data;  // the property dialog's label shows the PDO's name
        for (const PDOConfig &pdo : qAsConst(copy.pdoList))
            data << pdo.name;
        const QStringList lacking = untranslated(chrome, values, data);
        QVERIFY2(lacking.isEmpty(), qPrintable(QStringLiteral("no finished zh_CN translation (run scripts/update-translations, "
                                                              "then translate): \"%1\"").arg(lacking.join(QLatin1String("\", \"")))));
    }

    void hostForcesLanguage()
    {
        // Screenshots find their tabs and buttons by the texts shown, and keep one set of names.
        QTemporaryDir dir;
        const QStringList names = QDir(QStringLiteral(CANSLAVE_SCREENSHOTS)).entryList(QDir::Files);
        QByteArray firstPage[2]; // English, Chinese
        for (const QString &language : {QStringLiteral("de"), QStringLiteral("en"), QStringLiteral("zh_CN")}) {
            QProcess host;
            host.start(QStringLiteral(CANSLAVE_HOST_PATH), {QStringLiteral("configure"), QStringLiteral(CANSLAVE_EXAMPLES "/io-module.eds"),
                                                            QStringLiteral("--lang"), language, QStringLiteral("--screenshot"), dir.filePath(language)});
            QVERIFY(host.waitForFinished(60000));
            const bool known = language != QLatin1String("de");
            const QDir shots(dir.filePath(language));
            QCOMPARE(host.exitCode(), known ? 0 : 2);
            QCOMPARE(shots.exists(), known);
            QCOMPARE(shots.entryList(QDir::Files), known ? names : QStringList());
            QFile image(shots.filePath(QStringLiteral("1-canopen-slave-device.png")));
            if (known && image.open(QIODevice::ReadOnly))
                firstPage[language != QLatin1String("en")] = image.readAll();
        }
        QVERIFY(firstPage[0] != firstPage[1]);
    }
};

QTEST_MAIN(tst_Translation)
#include "tst_translation.moc"
