#pragma once

#include <QSettings>
#include <QString>
#include <optional>

// The per-user settings store: the one place that knows where the settings live, the names of
// their keys and how numbers are written as text. Every value is kept as text.
class SettingsStore
{
  public:
    enum class Key {
        PosX,
        PosY,
        PosH,
        PosW,
        Font,
        Size,
        Charset,
        Bold,
        LastDir,
        DifferenceMap,
        Realign,
        HexContext,
        ContextShare
    };

    SettingsStore();

    // The stored text, also when it is empty; nothing when the key is absent.
    std::optional<QString> Text(Key key) const;
    void SetText(Key key, const QString& text);

    // The stored text read as a finite number in the user's number format; nothing when the
    // key is absent or its text is not such a number.
    std::optional<double> Number(Key key) const;
    // Writes plain decimal text in the user's number format, with at most four decimals.
    void SetNumber(Key key, double value);

    // Writes what was set to disk. A store that cannot be written never stops the program:
    // the result is false and a warning naming the file goes to stderr.
    bool Sync();

    // Where the store keeps its texts.
    QString FileName() const { return m_settings.fileName(); }

  private:
    QSettings m_settings;
};
