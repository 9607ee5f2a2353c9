// configure: create a slave from an EDS and open the plug-in's configuration
// dialog on it, as a host does; or render every tab of that dialog to PNG files.

#include "arguments.h"
#include "commands.h"
#include "hostslave.h"
#include "pluginlibrary.h"
#include "slavereport.h"

#include <helpsharemodule.h>

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

namespace refhost {

namespace {

const char *const tabTitles[] = {"CANopen Slave Device", "PDO Config", "SDO Config", "CANopen I/O Mapping"};

// The dialog's own text for a text the plug-in may have translated.
QString shownText(const char *context, const char *text)
{
    return QCoreApplication::translate(context, text);
}

// "1-device.png" from the tab's position and title; the original title, so
// every language names its images alike.
QString screenshotName(int index, const QString &title)
{
    QString original = title;
    for (const char *known : tabTitles) {
        if (shownText("CanSlaveDlg", known) == title)
            original = QLatin1String(known);
    }
    QString name;
    for (const QChar c : original.toLower()) {
        if (c.isLetterOrNumber())
            name += c;
        else if (!name.endsWith(QLatin1Char('-')))
            name += QLatin1Char('-');
    }
    while (name.endsWith(QLatin1Char('-')))
        name.chop(1);
    return QStringLiteral("%1-%2.png").arg(index + 1).arg(name);
}

// A dialog that a page opens from one of its buttons, with the page's first
// table row selected, as a user would open it.
struct SubDialogShot {
    const char *tabTitle;
    const char *pageContext;  // the page class, which translates its buttons
    const char *buttonText;   // without the '&'
    const char *fileName;
    const char *dialogClass;  // what the button must open for the image to show it
};

const SubDialogShot subDialogShots[] = {
    {nullptr, nullptr, nullptr, nullptr, nullptr},  // keeps the table non-empty while no page offers one
    {"PDO Config", "PDOpage", "Config", "pdo-config-mapping-editor.png", "PDOParameterEditDialog"},
    {"PDO Config", "PDOpage", "Property", "pdo-config-property.png", "PDOProperty"},
    {"SDO Config", "SdoPage", "Add", "sdo-config-new-sdo.png", "NewSDODialog"},
};

struct Shots {
    QString dir;
    QStringList written;
    QStringList failed;

    void save(QWidget *widget, const QString &fileName)
    {
        const QString path = QDir(dir).filePath(fileName);
        QByteArray png;
        QBuffer buffer(&png);
        const bool rendered = buffer.open(QIODevice::WriteOnly) && widget->grab().save(&buffer, "PNG");
        (rendered && writeWhole(path, png).isEmpty() ? written : failed).append(path);
    }
};

QPushButton *buttonWithText(QWidget *parent, const QString &text)
{
    const QList<QPushButton *> buttons = parent->findChildren<QPushButton *>();
    for (QPushButton *button : buttons) {
        if (button->text().remove(QLatin1Char('&')) == text && button->isEnabled())
            return button;
    }
    return nullptr;
}

void selectFirstRow(QWidget *page)
{
    const QList<QTableWidget *> tables = page->findChildren<QTableWidget *>();
    // The PDO page's buttons act on the current row of its lower table: give every table one.
    for (QTableWidget *table : tables) {
        if (table->rowCount() > 0 && table->isVisible())
            table->setCurrentCell(0, 0);
    }
    for (QTableWidget *table : tables) {
        if (table->rowCount() > 0 && table->isVisible()) {
            table->selectRow(0);
            return;
        }
    }
}

void shootSubDialog(QDialog *dialog, QTabWidget *tabs, const SubDialogShot &shot, Shots &shots)
{
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == shownText("CanSlaveDlg", shot.tabTitle))
            tabs->setCurrentIndex(i);
    }
    selectFirstRow(tabs->currentWidget());
    QPushButton *button = buttonWithText(tabs->currentWidget(), shownText(shot.pageContext, shot.buttonText));
    if (!button) {
        shots.failed.append(QDir(shots.dir).filePath(QLatin1String(shot.fileName)));
        return;
    }
    // The button runs the sub-dialog's own modal loop; render it from inside.
    // Only the dialog the image is named for is rendered under that name; a
    // button that opened nothing, or something else (a message), fails the image.
    const QString path = QDir(shots.dir).filePath(QLatin1String(shot.fileName));
    QTimer inside;
    inside.setSingleShot(true);
    QObject::connect(&inside, &QTimer::timeout, dialog, [&shots, shot, dialog, path] {
        QWidget *sub = QApplication::activeModalWidget();
        if (!sub || sub == dialog) {
            shots.failed.append(path);
            return;
        }
        QApplication::processEvents();
        if (QLatin1String(sub->metaObject()->className()) == QLatin1String(shot.dialogClass))
            shots.save(sub, QLatin1String(shot.fileName));
        else
            shots.failed.append(path);
        if (auto *subDialog = qobject_cast<QDialog *>(sub))
            subDialog->reject();
        else
            sub->close();
    });
    inside.start(0);
    button->click();
    if (inside.isActive()) {
        inside.stop();
        shots.failed.append(path);
    }
}

// Runs from inside the dialog's modal loop: renders each tab as it looks when
// shown and the sub-dialogs the pages open, then cancels, so the slave and the
// memory book stay as they were.
void renderTabsAndCancel(Shots &shots)
{
    auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
    if (!dialog)
        return;
    auto *tabs = dialog->findChild<QTabWidget *>();
    for (int i = 0; tabs && i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QApplication::processEvents();
        shots.save(dialog, screenshotName(i, tabs->tabText(i)));
    }
    for (const SubDialogShot &shot : subDialogShots) {
        if (tabs && shot.tabTitle)
            shootSubDialog(dialog, tabs, shot, shots);
    }
    dialog->reject();
}

int runConfigure(Plugin &plugin, const Arguments &arguments, QTextStream &out, QTextStream &err)
{
    const QString screenshotDir = arguments.value("--screenshot");
    HostSlave slave(plugin);
    if (!requireExports(plugin, printExports() + QList<const char *>{"configCanObject"}, err))
        return 1;
    if (!screenshotDir.isEmpty() && !QDir().mkpath(screenshotDir)) {
        err << tr("%1: cannot create the folder").arg(screenshotDir) << '\n';
        return 1;
    }
    if (!slave.create(arguments, err))
        return 1;

    if (arguments.has("--lang"))
        setHelpLanguage(arguments.value("--lang"));

    Shots shots{screenshotDir, {}, {}};
    if (!screenshotDir.isEmpty())
        QTimer::singleShot(0, [&shots] { renderTabsAndCancel(shots); });
    const int result = plugin.get<canslave::ConfigCanObjectFn>("configCanObject")(
        slave.get(), nodeIdList(arguments.value("--nodes")), nullptr, arguments.has("--read-only"));

    if (!screenshotDir.isEmpty()) {
        for (const QString &path : qAsConst(shots.written))
            out << path << '\n';
        for (const QString &path : qAsConst(shots.failed))
            err << tr("%1: cannot render or write the image").arg(path) << '\n';
        return shots.written.isEmpty() || !shots.failed.isEmpty() ? 1 : 0;
    }
    if (result != 0) {
        err << tr("Cancelled: the slave is unchanged.") << '\n';
        return 0;
    }
    printSlave(plugin, slave.get(), printChoice(arguments), out);
    return 0;
}

} // namespace

// Every option of configure is declared here, and only here.
const Command configureCommand{
    "configure", Inputs::One, "EDS",
    "create a slave, open the plug-in's configuration dialog on it and print the slave after OK",
    QList<Option>{nodeOption(),
                  {"--nodes", Value::NodeList, "LIST", "node ids the dialog offers, such as 1-127 or 1,3,8-10",
                   false, "1-127"},
                  stationOption(),
                  {"--read-only", Value::None, nullptr, "open the dialog with OK disabled"},
                  {"--lang", Value::Language, "LANG",
                   "zh_CN or en: the dialog's language, instead of the one the UI language picks"},
                  {"--screenshot", Value::Folder, "DIR",
                   "render every tab and sub-dialog to DIR/*.png without a display, then cancel"}}
        + printOptions(),
    runConfigure,
    "The dialog needs a display (DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM); --screenshot does not.\n"
    "Exit status: 0 OK or Cancel (Cancel is said on stderr), 1 no slave or an image not written,\n"
    "2 wrong arguments or no display.\n"};

} // namespace refhost
