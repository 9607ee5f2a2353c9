#include "arguments.h"

#include <QDir>
#include <QFileInfo>

namespace refhost {

namespace {

constexpr int firstNodeId = 1;
constexpr int lastNodeId = 127;

const Option *findOption(const Command &command, const QString &name)
{
    for (const Option &option : command.options) {
        if (name == QLatin1String(option.name))
            return &option;
    }
    return nullptr;
}

bool isNumber(const QString &text)
{
    bool ok;
    return text.toInt(&ok, 10) >= 0 && ok;
}

// An empty text when the value is acceptable, otherwise why not.
QString checkValue(const Option &option, const QString &value)
{
    switch (option.value) {
    case Value::None:
        break;
    case Value::Node:
        if (!nodeIdOf(value))
            return tr("a node id is a number from 1 to 127");
        break;
    case Value::NodeList:
        if (nodeIdList(value).isEmpty())
            return tr("give node ids from 1 to 127 as ranges and commas, such as 1-127 or 1,3,8-10");
        break;
    case Value::Number:
        if (!isNumber(value))
            return tr("not a number");
        break;
    case Value::Text:
        if (value.trimmed().isEmpty())
            return tr("must not be empty");
        break;
    case Value::OutputFile: {
        const QFileInfo info(value);
        if (info.isDir())
            return tr("is a folder, not a file");
        if (!info.absoluteDir().exists())
            return tr("the folder %1 does not exist").arg(QDir::toNativeSeparators(info.absolutePath()));
        break;
    }
    case Value::Folder:
        if (QFileInfo(value).exists() && !QFileInfo(value).isDir())
            return tr("is a file, not a folder");
        break;
    case Value::Language:
        if (value != QLatin1String("zh_CN") && value != QLatin1String("en"))
            return tr("not a language (zh_CN or en)");
        break;
    }
    return QString();
}

QString checkInput(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return tr("no such file");
    if (info.isDir())
        return tr("is a folder, not a file");
    if (!info.isReadable())
        return tr("cannot be read");
    return QString();
}

} // namespace

int nodeIdOf(const QString &text)
{
    bool ok;
    const int id = text.trimmed().toInt(&ok, 10);
    return ok && id >= firstNodeId && id <= lastNodeId ? id : 0;
}

QList<int> nodeIdList(const QString &text)
{
    QList<int> ids;
    const QStringList parts = text.split(QLatin1Char(','));
    for (const QString &part : parts) {
        const QStringList range = part.split(QLatin1Char('-'));
        if (range.size() > 2)
            return {};
        const int first = nodeIdOf(range.first());
        const int last = range.size() == 2 ? nodeIdOf(range.at(1)) : first;
        if (!first || !last || first > last)
            return {};
        for (int id = first; id <= last; ++id) {
            if (!ids.contains(id))
                ids.append(id);
        }
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool parseArguments(const Command &command, const QStringList &arguments, Arguments &parsed, QTextStream &err)
{
    const QString prefix = QStringLiteral("canslave-host %1: ").arg(QLatin1String(command.name));
    const auto fail = [&](const QString &text) {
        err << prefix << text << '\n';
        return false;
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        const Option *option = findOption(command, a);
        if (!option) {
            if (a.startsWith(QLatin1Char('-')) && a.size() > 1)
                return fail(tr("unknown option %1 (see %2 --help)").arg(a, QLatin1String(command.name)));
            if (command.inputs == Inputs::None || (command.inputs == Inputs::One && !parsed.inputs.isEmpty()))
                return fail(tr("unexpected argument %1 (see %2 --help)").arg(a, QLatin1String(command.name)));
            const QString why = checkInput(a);
            if (!why.isEmpty())
                return fail(QStringLiteral("%1: %2").arg(a, why));
            parsed.inputs.append(a);
            continue;
        }
        if (parsed.options.contains(a))
            return fail(tr("%1 is given twice").arg(a));
        QString value;
        if (option->value != Value::None) {
            if (i + 1 >= arguments.size())
                return fail(tr("%1 needs a value: %1 %2").arg(a, QLatin1String(option->valueName)));
            value = arguments.at(++i);
            const QString why = checkValue(*option, value);
            if (!why.isEmpty())
                return fail(QStringLiteral("%1 %2: %3").arg(a, value, why));
        }
        parsed.options.insert(a, value);
    }
    if (command.inputs != Inputs::None && parsed.inputs.isEmpty())
        return fail(tr("no %1 given (usage: %2)").arg(QLatin1String(command.inputName), usageLine(command)));
    for (const Option &option : command.options) {
        if (option.required && !parsed.options.contains(QLatin1String(option.name)))
            return fail(tr("%1 %2 is required").arg(QLatin1String(option.name), QLatin1String(option.valueName)));
        if (option.defaultValue && !parsed.options.contains(QLatin1String(option.name)))
            parsed.options.insert(QLatin1String(option.name), QLatin1String(option.defaultValue));
    }
    return true;
}

QString usageLine(const Command &command)
{
    QString line = QStringLiteral("canslave-host ") + QLatin1String(command.name);
    if (command.inputs == Inputs::One)
        line += QLatin1Char(' ') + QLatin1String(command.inputName);
    else if (command.inputs == Inputs::Many)
        line += QStringLiteral(" %1...").arg(QLatin1String(command.inputName));
    for (const Option &option : command.options) {
        QString text = QLatin1String(option.name);
        if (option.valueName)
            text += QLatin1Char(' ') + QLatin1String(option.valueName);
        line += QLatin1Char(' ') + (option.required ? text : QLatin1Char('[') + text + QLatin1Char(']'));
    }
    return line;
}

void printCommandHelp(const Command &command, QTextStream &out)
{
    out << tr("Usage: %1").arg(usageLine(command)) << "\n\n" << tr(command.summary) << "\n";
    if (!command.options.isEmpty())
        out << '\n' << tr("Options:") << '\n';
    for (const Option &option : command.options) {
        QString name = QLatin1String(option.name);
        if (option.valueName)
            name += QLatin1Char(' ') + QLatin1String(option.valueName);
        out << "  " << name.leftJustified(24) << ' ' << tr(option.help);
        if (option.defaultValue)
            out << ' ' << tr("(default %1)").arg(QLatin1String(option.defaultValue));
        out << '\n';
    }
    if (command.details)
        out << '\n' << tr(command.details);
}

bool asksForHelp(const QStringList &arguments)
{
    return arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"));
}

Option nodeOption()
{
    return {"--node", Value::Node, "N", "node id of the slave, 1 to 127",
            false, "1"};
}

Option outputOption(const char *what)
{
    Option option{"-o", Value::OutputFile, "FILE", what};
    option.required = true;
    return option;
}

Option stationOption()
{
    return {"--station", Value::Text, "KEY", "station key: the host's name of the station's memory book",
            false, "canslave-host"};
}

QList<Option> printOptions()
{
    return {{"--json", Value::None, nullptr, "print the same content as one JSON object, for scripts"},
            {"--block", Value::None, nullptr, "also print the configuration block's bytes"}};
}

} // namespace refhost
