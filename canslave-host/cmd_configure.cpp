// configure: create a slave from an EDS and open the plug-in's configuration
// dialog on it, as a host does; or render every tab of that dialog to PNG files.

#include "arguments.h"
#include "commands.h"
#include "filekind.h"
#include "hostslave.h"
#include "pluginlibrary.h"
#include "restorereport.h"
#include "slaveinsides.h"
#include "slavereport.h"
#include "streamsummary.h"

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
        if (title == shownText("CanSlaveDlg", known))
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

void makeFirstRowsCurrent(QWidget *page)
{
    const QList<QTableWidget *> tables = page->findChildren<QTableWidget *>();
    // The PDO page's buttons act on the current row of its lower table: give every table one.
    for (QTableWidget *table : tables) {
        if (table->isVisible())
            table->setCurrentCell(0, 0); // nothing on an empty table
    }
}

void shootSubDialog(QDialog *dialog, QTabWidget *tabs, const SubDialogShot &shot, Shots &shots)
{
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == shownText("CanSlaveDlg", shot.tabTitle))
            tabs->setCurrentIndex(i);
    }
    makeFirstRowsCurrent(tabs->currentWidget());
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
        if (tabs)
            shootSubDialog(dialog, tabs, shot, shots);
    }
    dialog->reject();
}

// Presses the dialog's own OK button, as a user would; a dialog whose OK is
// disabled is cancelled instead.
void pressOk(bool &pressed)
{
    auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
    if (!dialog)
        return;
    QPushButton *ok = buttonWithText(dialog, shownText("CanSlaveDlg", "&OK").remove(QLatin1Char('&')));
    pressed = ok != nullptr;
    if (ok)
        ok->click();
    else
        dialog->reject();
}

QTextStream *helpOut = nullptr;

// The reference host has no help system: it says which topic a host would open.
void printHelpKeyword(const QString &keyword)
{
    if (helpOut)
        *helpOut << tr("Help: a host would open the help at \"%1\"").arg(keyword) << Qt::endl;
}

// The slave of an EDS, or of a saved project stream that comes back whole.
bool openSlave(Plugin &plugin, HostSlave &slave, const Arguments &arguments, QTextStream &err)
{
    const QString file = arguments.inputs.first();
    QByteArray content;
    if (!readFile(file, content, err))
        return false;
    const FileKind kind = fileKind(content);
    if (kind == FileKind::Eds)
        return slave.create(arguments, err);
    if (kind != FileKind::Stream) {
        err << file << ": "
            << (kind == FileKind::Block ? wrongKindText(kind, FileKind::Stream)
                                        : tr("holds neither EDS content (no [DeviceInfo] section, no object) "
                                             "nor a project stream"))
            << '\n';
        return false;
    }
    const QString station = arguments.value("--station");
    const StreamSummary stored = summarizeStream(content, true);
    slave.reset(plugin.get<canslave::RestoreFn>("restore")(content, station));
    // Edits on a slave that lacks part of its stream would be saved without it.
    if (!slave.get() || !reportRestore(file, stored, restoredSlave(slave.get()), err)) {
        err << file << ": " << tr("not opened: the slave did not come back whole") << '\n';
        return false;
    }
    return true;
}

// The project stream and the configuration block of the accepted slave, where asked for.
bool writeOutputs(Plugin &plugin, CanObject *slave, const Arguments &arguments, QTextStream &err)
{
    if (arguments.has("-o")
        && !writeFile(arguments.value("-o"), plugin.get<canslave::SaveFn>("save")(slave), err))
        return false;
    if (arguments.has("--block")) {
        QByteArray block;
        CompileList unused;
        plugin.get<canslave::CompileFn>("compile")(slave, block, unused);
        if (!writeFile(arguments.value("--block"), block, err))
            return false;
    }
    return true;
}

int runConfigure(Plugin &plugin, const Arguments &arguments, QTextStream &out, QTextStream &err)
{
    const QString screenshotDir = arguments.value("--screenshot");
    HostSlave slave(plugin);
    // An EDS is created and a stream restored: a plug-in must offer both ways in.
    if (!requireExports(plugin, printExports() + QList<const char *>{"configCanObject", "save", "createCanObject", "restore"},
                        err))
        return 1;
    if (!screenshotDir.isEmpty() && !QDir().mkpath(screenshotDir)) {
        err << tr("%1: cannot create the folder").arg(screenshotDir) << '\n';
        return 1;
    }
    if (!openSlave(plugin, slave, arguments, err))
        return 1;

    if (arguments.has("--lang"))
        setHelpLanguage(arguments.value("--lang"));
    helpOut = &err;
    setHelpHandler(printHelpKeyword);

    Shots shots{screenshotDir, {}, {}};
    bool pressed = false;
    if (!screenshotDir.isEmpty())
        QTimer::singleShot(0, [&shots] { renderTabsAndCancel(shots); });
    else if (arguments.has("--accept"))
        QTimer::singleShot(0, [&pressed] { pressOk(pressed); });
    const int result = plugin.get<canslave::ConfigCanObjectFn>("configCanObject")(
        slave.get(), nodeIdList(arguments.value("--nodes")), nullptr, arguments.has("--read-only"));
    setHelpHandler(nullptr);

    if (!screenshotDir.isEmpty()) {
        for (const QString &path : qAsConst(shots.written))
            out << path << '\n';
        for (const QString &path : qAsConst(shots.failed))
            err << tr("%1: cannot render or write the image").arg(path) << '\n';
        return shots.written.isEmpty() || !shots.failed.isEmpty() ? 1 : 0;
    }
    if (result != 0) {
        if (!pressed && arguments.has("--accept")) {
            err << tr("The dialog's OK button is disabled: cancelled, nothing written.") << '\n';
            return 1;
        }
        err << tr("Cancelled: the slave is unchanged and nothing is written.") << '\n';
        return 0;
    }
    if (!writeOutputs(plugin, slave.get(), arguments, err))
        return 1;
    const bool json = arguments.has("--json");
    printSlave(plugin, slave.get(), {json, false}, out);
    return 0;
}

} // namespace

// Every option of configure is declared here, and only here.
const Command configureCommand{
    "configure", Inputs::One, "FILE",
    "open the plug-in's configuration dialog on a slave made from an EDS or DCF, or restored from a saved "
    "project stream, and print the slave after OK",
    QList<Option>{nodeOption(),
                  {"--nodes", Value::NodeList, "LIST", "node ids the dialog offers, such as 1-127 or 1,3,8-10",
                   false, "1-127"},
                  stationOption(),
                  {"-o", Value::OutputFile, "FILE", "after OK, write the project stream (reopen it with configure)"},
                  {"--block", Value::OutputFile, "FILE", "after OK, write the configuration block, as compile does"},
                  {"--read-only", Value::None, nullptr, "open the dialog with OK disabled"},
                  {"--lang", Value::Language, "LANG",
                   "zh_CN or en: the dialog's language, instead of the one the UI language picks"},
                  {"--accept", Value::None, nullptr,
                   "press the dialog's OK as soon as it shows, without a display (for scripts)"},
                  {"--screenshot", Value::Folder, "DIR",
                   "render every tab and sub-dialog to DIR/*.png without a display, then cancel"},
                  {"--json", Value::None, nullptr, "print the slave as one JSON object, for scripts"}},
    runConfigure,
    "FILE is told by its content: an EDS or DCF makes a new slave with --node; a project stream (save\n"
    "or configure -o writes one) is restored under --station with its own node id, and must come back whole.\n"
    "Nothing is written after Cancel; an existing file is replaced only once the new one is complete.\n"
    "Help in the dialog prints the help keyword a host would open, on stderr.\n"
    "The dialog needs a display (DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM); --accept and --screenshot do not.\n"
    "Exit status: 0 OK or Cancel (Cancel is said on stderr), 1 no slave, a file not opened or not written,\n"
    "an image not written, or OK disabled under --accept; 2 wrong arguments or no display.\n"};

} // namespace refhost
