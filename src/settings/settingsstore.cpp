#include "settingsstore.h"

#include <QLocale>
#include <QtDebug>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// The key's name in the store.
QString KeyName(SettingsStore::Key key)
{
    switch (key) {
    case SettingsStore::Key::PosX:
        return u"PosX"_s;
    case SettingsStore::Key::PosY:
        return u"PosY"_s;
    case SettingsStore::Key::PosH:
        return u"PosH"_s;
    case SettingsStore::Key::PosW:
        return u"PosW"_s;
    case SettingsStore::Key::Font:
        return u"Font"_s;
    case SettingsStore::Key::Size:
        return u"Size"_s;
    case SettingsStore::Key::Charset:
        return u"Charset"_s;
    case SettingsStore::Key::Bold:
        return u"Bold"_s;
    case SettingsStore::Key::LastDir:
        return u"LastDir"_s;
    case SettingsStore::Key::DifferenceMap:
        return u"DifferenceMap"_s;
    case SettingsStore::Key::Realign:
        return u"Realign"_s;
    case SettingsStore::Key::HexContext:
        return u"HexContext"_s;
    case SettingsStore::Key::ContextShare:
        return u"ContextShare"_s;
    }
    return {};
}

// The user's number format without thousands separators, in both directions.
QLocale NumberFormat()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

} // namespace

SettingsStore::SettingsStore()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, u"Lumatra"_s, u"Lumatra"_s)
{
    m_settings.beginGroup(u"Settings"_s);
}

std::optional<QString> SettingsStore::Text(Key key) const
{
    const QVariant value = m_settings.value(KeyName(key));
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

void SettingsStore::SetText(Key key, const QString& text)
{
    m_settings.setValue(KeyName(key), text);
}

std::optional<double> SettingsStore::Number(Key key) const
{
    const std::optional<QString> stored = Text(key);
    if (!stored)
        return std::nullopt;
    bool ok = false;
    const double value = NumberFormat().toDouble(*stored, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

void SettingsStore::SetNumber(Key key, double value)
{
    const double rounded = std::round(value * 10000.0) / 10000.0;
    SetText(key, NumberFormat().toString(rounded, 'f', QLocale::FloatingPointShortest));
}

bool SettingsStore::Sync()
{
    m_settings.sync();
    if (m_settings.status() == QSettings::AccessError) {
        qWarning().noquote() << u"Lumatra: the settings could not be written to %1"_s.arg(
            FileName());
        return false;
    }
    return true;
}
