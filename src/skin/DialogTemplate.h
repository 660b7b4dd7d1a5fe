#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QMap>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

// Dialog templates are JSON files embedded as ":/templates/<number>.json". Sizes and rectangles
// are in dialog units of the template's font, as on Windows.

enum class DialogControlKind
{
    Button,
    Radio,
    CheckBox,
    GroupBox,
    Static,
    Icon,
    Edit,
    Combo,
    ListView,
    IpAddress,
    Progress
};

// Anonymous statics carry this id, like IDC_STATIC.
inline constexpr int kNoControlId = -1;

struct DialogControlTemplate
{
    int id = kNoControlId;
    DialogControlKind kind = DialogControlKind::Static;
    QString text;
    QString name;      // what a screen reader calls a control whose caption is in its bitmap
    QRect rect;        // dialog units
    QStringList style; // "default", "groupStart", "tabStop", "hidden", "disabled", "password", ...
    QStringList items; // initial data of a combo box
    int image = 0;     // icon number of an icon static

    bool has(const QString &flag) const { return style.contains(flag); }
    bool isHidden() const { return has(QStringLiteral("hidden")); }
    bool isDisabled() const { return has(QStringLiteral("disabled")); }
    // Windows button type in the low byte (0 push, 1 default push, 3 auto check box, 9 auto radio, 7 group box).
    std::uint32_t buttonStyle() const;
};

// Skin data kept next to the template: which bitmaps the dialog's initialisation hands out.
struct DialogSkinTemplate
{
    int background = 0;
    bool unscaled = false; // drawn at its own size at (0,0) instead of stretched
    QColor staticText = QColor(255, 255, 255);
    QList<int> keepColors; // controls that keep their default colours
    // Control id -> normal, pressed, hover, disabled bitmap numbers.
    QMap<int, std::array<int, 4>> buttons;
};

struct DialogTemplate
{
    int number = 0;
    QSize size; // dialog units
    QString caption;
    QStringList style; // "popup", "caption", "sysMenu", "modalFrame", "setForeground", "appWindow"
    QString fontName;
    int pointSize = 8;
    DialogSkinTemplate skin;
    QList<DialogControlTemplate> controls;

    bool has(const QString &flag) const { return style.contains(flag); }
    bool hasCaption() const { return has(QStringLiteral("caption")); }
    // The first control with that id, or nullptr.
    const DialogControlTemplate *findControl(int id) const;
};

// Parses one template; on failure returns nothing and says why in *error.
std::optional<DialogTemplate> ParseDialogTemplate(const QByteArray &json, QString *error = nullptr);
// Reads ":/templates/<number>.json"; the caller must link the resources.
std::optional<DialogTemplate> LoadDialogTemplate(int number, QString *error = nullptr);

// The template's font at 96 DPI: points to pixels as Windows does, MulDiv(points, 96, 72).
QFont DialogTemplateFont(const QString &family, int pointSize);
QFont DialogTemplateFont(const DialogTemplate &dialogTemplate);

// Windows dialog base units of a font and the conversion of dialog units to pixels.
class DialogUnits
{
public:
    explicit DialogUnits(const QFont &font);
    DialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

    int baseX() const { return m_baseX; }
    int baseY() const { return m_baseY; }
    int toPixelsX(int dlu) const;
    int toPixelsY(int dlu) const;
    QRect toPixels(const QRect &dlu) const;
    QSize toPixels(const QSize &dlu) const;

    // Average width of "A".."Z" "a".."z" rounded as Windows does: (total / 26 + 1) / 2.
    static int AverageCharWidth(const QFont &font);
    // Windows' text-metric height (see the definition for how it is approximated).
    static int CellHeight(const QFont &font);

private:
    int m_baseX;
    int m_baseY;
};

// Rounds like the Windows MulDiv: to nearest, halves away from zero.
int MulDiv(int number, int numerator, int denominator);
