// configure: create a slave from an EDS and open the plug-in's configuration
// dialog on it, as a host does; or render every tab of that dialog to PNG files.

#include "commands.h"
#include "hostslave.h"
#include "pluginlibrary.h"

#include "plugin/canobject.h"

#include <helpsharemodule.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

namespace {

struct Options {
    QString eds;
    int node = 1;
    QList<int> nodeIds;
    QString station = QStringLiteral("canslave-host");
    QString screenshotDir;
    bool readOnly = false;
    QString language;  // empty: the UI language decides
};

// "1-127", "5" or "1,3,8-10".
bool parseNodeIds(const QString &text, QList<int> &ids)
{
    const QStringList parts = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QStringList range = part.split(QLatin1Char('-'));
        bool firstOk = false;
        bool lastOk = false;
        const int first = range.first().toInt(&firstOk);
        const int last = range.size() == 2 ? range.at(1).toInt(&lastOk) : first;
        if (!firstOk || (range.size() == 2 && !lastOk) || range.size() > 2 || first > last || first < 0
            || last > 255)
            return false;
        for (int id = first; id <= last; ++id)
            ids.append(id);
    }
    return !ids.isEmpty();
}

bool parse(const QStringList &arguments, Options &o, QTextStream &err)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        if (a == QLatin1String("--node") && hasValue) {
            bool ok = false;
            o.node = arguments.at(++i).toInt(&ok, 0);
            if (!ok) {
                err << "not a node id: " << arguments.at(i) << '\n';
                return false;
            }
        } else if (a == QLatin1String("--nodes") && hasValue) {
            if (!parseNodeIds(arguments.at(++i), o.nodeIds)) {
                err << "not a list of node ids: " << arguments.at(i) << '\n';
                return false;
            }
        } else if (a == QLatin1String("--station") && hasValue) {
            o.station = arguments.at(++i);
        } else if (a == QLatin1String("--screenshot") && hasValue) {
            o.screenshotDir = arguments.at(++i);
        } else if (a == QLatin1String("--lang") && hasValue) {
            o.language = arguments.at(++i);
            if (o.language != QLatin1String("zh_CN") && o.language != QLatin1String("en")) {
                err << "not a language (zh_CN or en): " << o.language << '\n';
                return false;
            }
        } else if (a == QLatin1String("--read-only")) {
            o.readOnly = true;
        } else if (o.eds.isEmpty() && !a.startsWith(QLatin1Char('-'))) {
            o.eds = a;
        } else {
            err << "unexpected argument: " << a << '\n';
            return false;
        }
    }
    if (o.eds.isEmpty()) {
        err << "no EDS file given\n";
        return false;
    }
    if (o.nodeIds.isEmpty()) {
        for (int id = 1; id <= 127; ++id)
            o.nodeIds.append(id);
    }
    return true;
}

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
};

const SubDialogShot subDialogShots[] = {
    {nullptr, nullptr, nullptr, nullptr},  // keeps the table non-empty while no page offers one
    {"PDO Config", "PDOpage", "Config", "pdo-config-mapping-editor.png"},
    {"PDO Config", "PDOpage", "Property", "pdo-config-property.png"},
    {"SDO Config", "SdoPage", "Add", "sdo-config-new-sdo.png"},
};

struct Shots {
    QString dir;
    QStringList written;
    QStringList failed;

    void save(QWidget *widget, const QString &fileName)
    {
        const QString path = QDir(dir).filePath(fileName);
        (widget->grab().save(path) ? written : failed).append(path);
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
    QTimer::singleShot(0, dialog, [&shots, shot, dialog] {
        QWidget *sub = QApplication::activeModalWidget();
        if (!sub || sub == dialog)
            return;
        QApplication::processEvents();
        shots.save(sub, QLatin1String(shot.fileName));
        if (auto *subDialog = qobject_cast<QDialog *>(sub))
            subDialog->reject();
        else
            sub->close();
    });
    button->click();
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

} // namespace

int runConfigure(Plugin &plugin, const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    Options o;
    if (!parse(arguments, o, err))
        return 2;
    auto create = plugin.get<canslave::CreateCanObjectFn>("createCanObject");
    auto configure = plugin.get<canslave::ConfigCanObjectFn>("configCanObject");
    auto release = plugin.get<canslave::ReleaseObjectFn>("releaseObject");
    if (!create || !configure || !release) {
        err << "the plug-in lacks the exports this command needs\n";
        return 1;
    }
    if (!o.screenshotDir.isEmpty() && !QDir().mkpath(o.screenshotDir)) {
        err << o.screenshotDir << ": cannot create the folder\n";
        return 1;
    }
    CanObject *slave = create(nullptr, o.eds, o.node, o.station);
    if (!slave) {
        err << o.eds << ": the plug-in created no slave\n";
        return 1;
    }

    if (!o.language.isEmpty())
        setHelpLanguage(o.language);

    Shots shots{o.screenshotDir, {}, {}};
    if (!o.screenshotDir.isEmpty())
        QTimer::singleShot(0, [&shots] { renderTabsAndCancel(shots); });
    const int result = configure(slave, o.nodeIds, nullptr, o.readOnly);

    int status = 0;
    if (!o.screenshotDir.isEmpty()) {
        for (const QString &path : qAsConst(shots.written))
            out << path << '\n';
        for (const QString &path : qAsConst(shots.failed))
            err << path << ": cannot render or write the image\n";
        status = shots.written.isEmpty() || !shots.failed.isEmpty() ? 1 : 0;
    } else if (result == 0) {
        printSlave(plugin, slave, out);
    } else {
        out << "Cancelled: the slave is unchanged.\n";
    }
    release(slave);
    return status;
}
