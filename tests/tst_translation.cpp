// The dialog in Simplified Chinese: every text it shows has a finished
// translation in the .ts, and the translation leaves with the dialog.

#include "modalanswerer.h"
#include "testslave.h"
#include "ui/configureslave.h"
#include "ui/memoryeditwidget.h"
#include "ui/newpdodialog.h"
#include "ui/newsdodialog.h"
#include "ui/pdoparametereditdialog.h"
#include "ui/pdoproperty.h"
#include "ui/slaveinfopage.h"

#include <basemodule.h>
#include <helpsharemodule.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

const QString key = QStringLiteral("/stations/translation.hwc");

struct Translations {
    QStringList unfinished;           // "context: source" of entries still to translate
    QList<QRegularExpression> shown;  // the finished translations, "%1" matching anything
    QSet<QString> changedSources;     // sources whose translation differs from them
};

Translations readTs(const QString &path)
{
    Translations ts;
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&file);
    QString context, source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString type = xml.attributes().value(QLatin1String("type")).toString();
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        if (xml.name() != QLatin1String("translation") || type == QLatin1String("vanished")
            || type == QLatin1String("obsolete"))
            continue;
        const QString text = xml.readElementText();
        if (!type.isEmpty() || text.isEmpty()) {
            ts.unfinished << context + QLatin1String(": ") + source;
            continue;
        }
        QStringList parts = text.split(QRegularExpression(QStringLiteral("%\\d")));
        for (QString &part : parts)
            part = QRegularExpression::escape(part);
        ts.shown << QRegularExpression(QRegularExpression::anchoredPattern(parts.join(QLatin1String(".+"))));
        if (text != source)
            ts.changedSources << source;
    }
    return ts;
}

// The texts the dialog puts on a widget and its children ("chrome"), and the
// values in its tables.
void collectTexts(QWidget *root, QStringList &chrome, QStringList &values)
{
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (QWidget *w : qAsConst(widgets)) {
        chrome << w->windowTitle();
        if (auto *label = qobject_cast<QLabel *>(w))
            chrome << label->text();
        if (auto *button = qobject_cast<QAbstractButton *>(w))
            chrome << button->text();
        if (auto *group = qobject_cast<QGroupBox *>(w))
            chrome << group->title();
        if (auto *tabs = qobject_cast<QTabWidget *>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                chrome << tabs->tabText(i);
        }
        if (auto *combo = qobject_cast<QComboBox *>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                chrome << combo->itemText(i);
        }
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
    void everyShownTextTranslated();
    void translatorLivesWithDialog_data();
    void translatorLivesWithDialog();
    void hostForcesLanguage();
};

void tst_Translation::everyShownTextTranslated()
{
    const Translations ts = readTs(QStringLiteral(CANSLAVE_ZH_CN_TS));
    QVERIFY2(!ts.shown.isEmpty(), CANSLAVE_ZH_CN_TS " holds no translation");

    // Every page, then every sub-dialog built while the dialog's translator is in.
    CanObject slave = makeTestSlave(key);
    CanObject copy = slave;
    QStringList chrome, values;
    setHelpLanguage(QStringLiteral("zh_CN"));
    ModalAnswerer answerer;
    answerer.onModal([&](QWidget *dialog) {
        collectTexts(dialog, chrome, values);
        auto *memoryEditor = new MemoryEditWidget(dialog);  // the mapping tables' place editor
        memoryEditor->setValue(copy.pdoList.first().mapList.last(), PdoReceive);
        QScopedPointer<QWidget> subDialogs[] = {
            QScopedPointer<QWidget>(memoryEditor),
            QScopedPointer<QWidget>(new PDOParameterEditDialog(&copy, &copy.pdoList.first(), dialog)),
            QScopedPointer<QWidget>(new PDOProperty(&copy.pdoList.first(), dialog)),
            QScopedPointer<QWidget>(new PDOProperty(&copy.pdoList.last(), dialog)),
            QScopedPointer<QWidget>(new NewPDODialog(dialog)),
            QScopedPointer<QWidget>(new NewSDODialog(dialog)),
            // the dialogs' information boxes answer with Qt's own OK button
            QScopedPointer<QWidget>(new QMessageBox(QMessageBox::Information, {}, {}, QMessageBox::Ok, dialog))};
        for (const auto &sub : subDialogs)
            collectTexts(sub.data(), chrome, values);
        qobject_cast<QDialog *>(dialog)->reject();
    });
    configureSlave(&slave, {3, 9}, nullptr, false);
    QVERIFY2(answerer.failure().isEmpty(), qPrintable(answerer.failure()));

    QSet<QString> data;  // the property dialog's label shows the PDO's name
    for (const PDOConfig &pdo : qAsConst(copy.pdoList))
        data << pdo.name;
    const QRegularExpression noWords(QStringLiteral("^([0-9A-F]+|[\\W\\d_]*)$"));
    QStringList lacking = ts.unfinished;
    for (const QString &text : qAsConst(chrome)) {
        const bool translated = std::any_of(ts.shown.cbegin(), ts.shown.cend(),
                                            [&](const QRegularExpression &re) { return re.match(text).hasMatch(); });
        if ((!translated || ts.changedSources.contains(text)) && !noWords.match(text).hasMatch() && !data.contains(text))
            lacking << text;
    }
    for (const QString &text : qAsConst(values)) {
        if (ts.changedSources.contains(text))
            lacking << text;
    }
    lacking.removeDuplicates();
    QVERIFY2(lacking.isEmpty(), qPrintable(QStringLiteral("no finished zh_CN translation (run scripts/update-"
                                                          "translations, then translate): \"%1\"")
                                               .arg(lacking.join(QLatin1String("\", \"")))));
}

void tst_Translation::translatorLivesWithDialog_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("chinese");
    QTest::newRow("Chinese UI") << "zh_CN" << true;
    QTest::newRow("English UI") << "en" << false;
}

void tst_Translation::translatorLivesWithDialog()
{
    QFETCH(QString, language);
    QFETCH(bool, chinese);
    const auto tabTitle = [] { return QCoreApplication::translate("CanSlaveDlg", "PDO Config"); };
    const QString original = tabTitle();
    CanObject slave = makeTestSlave(key);
    slave.name = QStringLiteral("Unknown Device");  // as restore names a slave whose EDS is lost
    setHelpLanguage(language);
    QString inside, shownName;
    ModalAnswerer answerer;
    answerer.onModal([&](QWidget *dialog) {
        inside = tabTitle();
        shownName = dialog->findChild<SlaveInfoPage *>()->findChild<QLineEdit *>()->text();
        QCOMPARE(dialog->findChild<QTabWidget *>()->tabText(1), inside);
        qobject_cast<QDialog *>(dialog)->accept();
    });
    configureSlave(&slave, {3}, nullptr, false);
    QVERIFY2(answerer.failure().isEmpty(), qPrintable(answerer.failure()));
    QCOMPARE(inside != original, chinese);
    QCOMPARE(shownName != slave.name, chinese);
    QCOMPARE(slave.name, QStringLiteral("Unknown Device"));
    QCOMPARE(tabTitle(), original);
}

void tst_Translation::hostForcesLanguage()
{
    // Screenshots find their tabs and buttons by the texts shown, and keep one set of names.
    QTemporaryDir dir;
    const auto shoot = [&dir](const QString &language) {
        QProcess host;
        host.start(QStringLiteral(CANSLAVE_HOST_PATH),
                   {QStringLiteral("configure"), QStringLiteral(CANSLAVE_EXAMPLES "/io-module.eds"),
                    QStringLiteral("--lang"), language, QStringLiteral("--screenshot"), dir.filePath(language)});
        return host.waitForFinished(60000) ? host.exitCode() : -1;
    };
    QCOMPARE(shoot(QStringLiteral("de")), 2);
    QVERIFY(!QDir(dir.filePath(QStringLiteral("de"))).exists());
    QCOMPARE(shoot(QStringLiteral("en")), 0);
    QCOMPARE(shoot(QStringLiteral("zh_CN")), 0);
    const QStringList names = QDir(QStringLiteral(CANSLAVE_SCREENSHOTS)).entryList(QDir::Files);
    QCOMPARE(QDir(dir.filePath(QStringLiteral("en"))).entryList(QDir::Files), names);
    QCOMPARE(QDir(dir.filePath(QStringLiteral("zh_CN"))).entryList(QDir::Files), names);
    const auto image = [&dir](const QString &language) {
        QFile file(dir.filePath(language + QLatin1String("/1-canopen-slave-device.png")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QVERIFY(image(QStringLiteral("en")) != image(QStringLiteral("zh_CN")));
}

QTEST_MAIN(tst_Translation)
#include "tst_translation.moc"
