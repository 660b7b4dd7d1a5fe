#include "skin/DialogTemplate.h"

#include <QFile>
#include <QFontMetricsF>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cmath>
#include <cstdlib>

namespace
{

struct KindName
{
    const char *name;
    DialogControlKind kind;
};

constexpr KindName kKinds[] = {
    {"button", DialogControlKind::Button},     {"radio", DialogControlKind::Radio},
    {"checkBox", DialogControlKind::CheckBox}, {"groupBox", DialogControlKind::GroupBox},
    {"static", DialogControlKind::Static},     {"icon", DialogControlKind::Icon},
    {"edit", DialogControlKind::Edit},         {"combo", DialogControlKind::Combo},
    {"listView", DialogControlKind::ListView}, {"ipAddress", DialogControlKind::IpAddress},
    {"progress", DialogControlKind::Progress},
};

// Unknown flags are refused so that a typo cannot silently drop a style.
const QSet<QString> &dialogFlags()
{
    static const QSet<QString> flags{"popup", "caption", "sysMenu", "modalFrame", "setForeground", "appWindow"};
    return flags;
}

const QSet<QString> &controlFlags()
{
    static const QSet<QString> flags{
        "default",  "groupStart", "tabStop",     "hidden",        "disabled", "readOnly",
        "password", "border",     "autoHScroll", "noPrefix",      "auto",     "dropDownList",
        "vScroll",  "report",     "singleSel",   "showSelAlways", "smooth",   "noIntegralHeight",
    };
    return flags;
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

bool readFlags(const QJsonValue &value, const QSet<QString> &allowed, QStringList *out, QString *error)
{
    if (value.isUndefined())
        return true;
    if (!value.isArray())
        return fail(error, QStringLiteral("style is not a list"));
    for (const QJsonValue &flag : value.toArray())
    {
        const QString name = flag.toString();
        if (!allowed.contains(name))
            return fail(error, QStringLiteral("unknown style \"%1\"").arg(name));
        out->append(name);
    }
    return true;
}

bool readInts(const QJsonValue &value, int count, int *out)
{
    const QJsonArray array = value.toArray();
    if (!value.isArray() || array.size() != count)
        return false;
    for (int i = 0; i < count; ++i)
    {
        const double d = array.at(i).toDouble(-1e9);
        if (d != std::floor(d) || d < -32768 || d > 32767)
            return false;
        out[i] = static_cast<int>(d);
    }
    return true;
}

bool readControl(const QJsonObject &object, DialogControlTemplate *control, QString *error)
{
    const QString kindName = object.value("kind").toString();
    bool known = false;
    for (const KindName &k : kKinds)
    {
        if (kindName == QLatin1String(k.name))
        {
            control->kind = k.kind;
            known = true;
        }
    }
    if (!known)
        return fail(error, QStringLiteral("unknown control kind \"%1\"").arg(kindName));
    if (!object.value("id").isDouble())
        return fail(error, QStringLiteral("control without an id"));
    control->id = object.value("id").toInt();
    int rect[4];
    if (!readInts(object.value("rect"), 4, rect) || rect[2] < 0 || rect[3] < 0)
        return fail(error, QStringLiteral("control %1: bad rect").arg(control->id));
    control->rect = QRect(rect[0], rect[1], rect[2], rect[3]);
    control->text = object.value("text").toString();
    control->name = object.value("name").toString();
    control->image = object.value("image").toInt();
    for (const QJsonValue &item : object.value("items").toArray())
        control->items.append(item.toString());
    if (!readFlags(object.value("style"), controlFlags(), &control->style, error))
        return false;
    return true;
}

bool readSkin(const QJsonObject &object, DialogSkinTemplate *skin, QString *error)
{
    skin->background = object.value("background").toInt();
    const QString draw = object.value("draw").toString(QStringLiteral("stretch"));
    if (draw != QLatin1String("stretch") && draw != QLatin1String("unscaled"))
        return fail(error, QStringLiteral("unknown background drawing \"%1\"").arg(draw));
    skin->unscaled = draw == QLatin1String("unscaled");
    if (object.contains("staticText"))
    {
        skin->staticText = QColor(object.value("staticText").toString());
        if (!skin->staticText.isValid())
            return fail(error, QStringLiteral("bad static text colour"));
    }
    for (const QJsonValue &id : object.value("keepColors").toArray())
        skin->keepColors.append(id.toInt());
    const QJsonObject buttons = object.value("buttons").toObject();
    for (auto it = buttons.begin(); it != buttons.end(); ++it)
    {
        bool ok = false;
        const int id = it.key().toInt(&ok);
        std::array<int, 4> numbers{};
        if (!ok || !readInts(it.value(), 4, numbers.data()))
            return fail(error, QStringLiteral("bad button bitmaps for \"%1\"").arg(it.key()));
        skin->buttons.insert(id, numbers);
    }
    return true;
}

} // namespace

std::uint32_t DialogControlTemplate::buttonStyle() const
{
    switch (kind)
    {
    case DialogControlKind::Radio:
        return has(QStringLiteral("auto")) ? 9 : 4;
    case DialogControlKind::CheckBox:
        return has(QStringLiteral("auto")) ? 3 : 2;
    case DialogControlKind::GroupBox:
        return 7;
    default:
        return has(QStringLiteral("default")) ? 1 : 0;
    }
}

const DialogControlTemplate *DialogTemplate::findControl(int id) const
{
    for (const DialogControlTemplate &control : controls)
    {
        if (control.id == id)
            return &control;
    }
    return nullptr;
}

std::optional<DialogTemplate> ParseDialogTemplate(const QByteArray &json, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject())
    {
        fail(error, parseError.errorString());
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    DialogTemplate result;
    result.number = root.value("template").toInt();
    int size[2];
    if (!readInts(root.value("size"), 2, size) || size[0] <= 0 || size[1] <= 0)
    {
        fail(error, QStringLiteral("bad dialog size"));
        return std::nullopt;
    }
    result.size = QSize(size[0], size[1]);
    result.caption = root.value("caption").toString();
    const QJsonObject font = root.value("font").toObject();
    result.fontName = font.value("name").toString();
    result.pointSize = font.value("pointSize").toInt();
    if (result.fontName.isEmpty() || result.pointSize <= 0)
    {
        fail(error, QStringLiteral("bad font"));
        return std::nullopt;
    }
    if (!readFlags(root.value("style"), dialogFlags(), &result.style, error) ||
        !readSkin(root.value("skin").toObject(), &result.skin, error))
        return std::nullopt;
    for (const QJsonValue &value : root.value("controls").toArray())
    {
        DialogControlTemplate control;
        if (!readControl(value.toObject(), &control, error))
            return std::nullopt;
        result.controls.append(control);
    }
    return result;
}

std::optional<DialogTemplate> LoadDialogTemplate(int number, QString *error)
{
    QFile file(QStringLiteral(":/templates/%1.json").arg(number));
    if (!file.open(QIODevice::ReadOnly))
    {
        fail(error, QStringLiteral("no template %1").arg(number));
        return std::nullopt;
    }
    return ParseDialogTemplate(file.readAll(), error);
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = std::llabs(denominator) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const long long magnitude = (std::llabs(product) + half) / std::llabs(denominator);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

QFont DialogTemplateFont(const QString &family, int pointSize)
{
    QFont font(family);
    font.setPixelSize(MulDiv(pointSize, 96, 72));
    return font;
}

QFont DialogTemplateFont(const DialogTemplate &dialogTemplate)
{
    return DialogTemplateFont(dialogTemplate.fontName, dialogTemplate.pointSize);
}

DialogUnits::DialogUnits(const QFont &font) : m_baseX(AverageCharWidth(font)), m_baseY(CellHeight(font)) {}

int DialogUnits::AverageCharWidth(const QFont &font)
{
    const QFontMetrics metrics(font);
    const int total = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (total / 26 + 1) / 2;
}

int DialogUnits::CellHeight(const QFont &font)
{
    // Windows takes the height from Arial's VDMX table, which holds the hinted extents of the
    // accented capitals and descenders: one pixel more than the outward-rounded ascent and
    // descent at dialog sizes (14 for 8 pt, 15 for 9 pt at 96 DPI). The metric-compatible
    // faces carry no such table, so the pixel is added here.
    const QFontMetricsF metrics(font);
    return static_cast<int>(std::ceil(metrics.ascent()) + std::ceil(metrics.descent())) + 1;
}

int DialogUnits::toPixelsX(int dlu) const
{
    return MulDiv(dlu, m_baseX, 4);
}

int DialogUnits::toPixelsY(int dlu) const
{
    return MulDiv(dlu, m_baseY, 8);
}

QRect DialogUnits::toPixels(const QRect &dlu) const
{
    // Position and size are each converted, as the dialog manager does when it creates controls.
    return QRect(toPixelsX(dlu.x()), toPixelsY(dlu.y()), toPixelsX(dlu.width()), toPixelsY(dlu.height()));
}

QSize DialogUnits::toPixels(const QSize &dlu) const
{
    return QSize(toPixelsX(dlu.width()), toPixelsY(dlu.height()));
}
