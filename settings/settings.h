#pragma once

#include "settings/settingkeys.h"

#include <QString>

#include <optional>

namespace quellex::settings {

// The per-user store, addressed by application, section and key; every value is text.
// GetSetting returns the stored text when the key exists (an empty one as empty), else defaultValue.
QString GetSetting(const QString &application, const QString &section, const QString &key,
                   const QString &defaultValue);
// Creates or replaces the value; it is on disk when this returns.
void SaveSetting(const QString &application, const QString &section, const QString &key, const QString &value);

// Number texts are written in the current locale's format and read in either decimal notation.
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
