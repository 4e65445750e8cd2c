#pragma once
// The model keeps text as the bytes files hold (Windows-1252); Qt widgets want QString.
#include <QString>
#include <string>

QString ToQt(const std::string &cp1252);
std::string FromQt(const QString &text); // characters outside Windows-1252 become '?'
// Upper case of Windows-1252 text: the ASCII and the accented letters (VB's UCase).
std::string UCase1252(std::string text);

// Trim: the text without leading and trailing blanks.
std::string Trim(const std::string &text);
