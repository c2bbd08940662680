// The one place where the program's single-byte texts (Windows-1252) become Qt
// texts and back.
#pragma once

#include <QString>

#include <string>

QString ToQt(const std::string& text);
// Characters without a Windows-1252 form become "?".
std::string FromQt(const QString& text);
