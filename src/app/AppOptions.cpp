#include "app/AppOptions.h"

#include "version.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QStringList>

#include "protocol/Ipv4Text.h"

namespace
{

// The window's options, declared once: the parser and the usage text are made from this list.
struct Declaration
{
    QCommandLineOption interface {
        QStringLiteral("interface"),
            QStringLiteral("search only from this local IPv4 address (repeatable; default: "
                           "every interface)"),
            QStringLiteral("ADDR")
    };
    QCommandLineOption verbose{QStringLiteral("verbose"),
                               QStringLiteral("print the protocol's diagnostic lines on standard error")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("show this text")};
    QCommandLineOption version{QStringLiteral("version"), QStringLiteral("print the version and exit")};

    QList<QCommandLineOption> all() const { return {interface, verbose, version, help}; }
};

// Parses without a QCoreApplication, so that --help and --version need no window system.
bool Parse(QCommandLineParser &parser, const Declaration &d, const std::vector<std::string> &args)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(d.all());
    QStringList list{QStringLiteral("izuzez-utility")};
    for (const std::string &arg : args)
        list << QString::fromStdString(arg);
    return parser.parse(list);
}

} // namespace

AppOptionsResult ParseAppOptions(const std::vector<std::string> &args)
{
    AppOptionsResult result;
    const Declaration d;
    QCommandLineParser parser;
    if (!Parse(parser, d, args))
    {
        // Scripts know the words "unknown argument" with the argument as it was written.
        const QStringList unknown = parser.unknownOptionNames();
        for (const std::string &arg : args)
        {
            const std::string written = arg.substr(0, arg.find('='));
            const QString name = QString::fromStdString(written).remove(QRegularExpression(QStringLiteral("^-+")));
            if (!unknown.isEmpty() && unknown.contains(name))
            {
                result.error = "unknown argument '" + written + "'";
                return result;
            }
        }
        result.error = parser.errorText().toStdString();
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
    {
        result.error = "unknown argument '" + parser.positionalArguments().front().toStdString() + "'";
        return result;
    }
    result.options.help = parser.isSet(d.help);
    result.options.version = parser.isSet(d.version);
    result.options.verbose = parser.isSet(d.verbose);
    for (const QString &value : parser.values(d.interface))
    {
        const std::string address = value.toStdString();
        if (ReadIpv4(address).verdict != Ipv4Verdict::Address)
        {
            result.error = "--interface: '" + address + "' is not an IPv4 address";
            return result;
        }
        result.options.interfaces.push_back(address);
    }
    result.ok = true;
    return result;
}

bool WantsTextOnly(const std::vector<std::string> &args)
{
    const Declaration d;
    QCommandLineParser parser;
    Parse(parser, d, args);
    return parser.isSet(d.help) || parser.isSet(d.version);
}

std::string AppUsageText()
{
    std::string text = "Usage: izuzez-utility [--interface ADDR]... [--verbose]\n"
                       "       izuzez-utility --version | --help\n"
                       "\n"
                       "Opens the window that finds the devices on the local network and manages the one you pick.\n";
    for (const QCommandLineOption &option : Declaration().all())
    {
        const QString longName = option.names().back();
        // Appended piece by piece: GCC 12 warns (-Wrestrict, wrongly) on a literal added before a temporary.
        std::string head = "  --";
        head += longName.toStdString();
        if (!option.valueName().isEmpty())
        {
            head += ' ';
            head += option.valueName().toStdString();
        }
        head.resize(std::max<std::size_t>(head.size() + 2, 20), ' ');
        text += head;
        text += option.description().toStdString();
        text += '\n';
    }
    return text;
}

std::string AppVersionText()
{
    return std::string("izuzez-utility ") + izuzez::kVersionText + "\n";
}
