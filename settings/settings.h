#pragma once

#include "settings/settingkeys.h"

#include <QString>
#include <optional>

namespace quellex::settings {

// The per-user store, addressed by application, section and key; every value is text.
// GetSetting returns the stored text when the key exists (an empty one as empty), else defaultValue;
// a store that cannot be read counts as empty and is reported once through lcSettings.
QString GetSetting(const QString &application, const QString &section, const QString &key,
                   const QString &defaultValue);
// Creates or replaces the value; it is on disk when this returns, or when the outermost WriteBatch
// ends. A value that cannot be stored is reported through lcSettings; the caller carries on.
void SaveSetting(const QString &application, const QString &section, const QString &key,
                 const QString &value);

// While a batch lives, writes are gathered, and reads see them; when the outermost batch ends, they
// reach the store together, as one locked, durable replace of the file rather than one a value.
class WriteBatch
{
public:
    WriteBatch();
    ~WriteBatch();
    WriteBatch(const WriteBatch &) = delete;
    WriteBatch &operator=(const WriteBatch &) = delete;
};

// Number texts are written in the current locale's format and read in either decimal notation.
// Readers take blanks around the number, never group separators; garbage, an empty text, infinities
// and values out of the type's range give nullopt. textToInteger rounds halves to the even neighbour.
// singleToText gives the shortest text that reads back as the same single.
std::optional<int> textToInteger(const QString &text);
std::optional<double> textToDouble(const QString &text);
std::optional<float> textToSingle(const QString &text);
QString integerToText(int value);
QString singleToText(float value);

// This program's keys, under its application name and section. A stored text that does not convert
// gives the key's default.
QString readText(SettingKey key);
int readInteger(SettingKey key);
double readDouble(SettingKey key);
float readSingle(SettingKey key);
void writeText(SettingKey key, const QString &value);
void writeInteger(SettingKey key, int value);
void writeSingle(SettingKey key, float value);

} // namespace quellex::settings
