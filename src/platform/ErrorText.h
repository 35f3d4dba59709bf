#pragma once

#include <QString>

#include <exception>
#include <stdexcept>

// An error of the program's own, carrying a text for the user.
class ProgramError : public std::runtime_error {
public:
    explicit ProgramError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// The text of an error as the user sees it in a message box: "Error: " and what went wrong.
QString ErrorMessage(const std::exception_ptr& error);
// The bare text of an error, for the few places that show it without the prefix.
QString ErrorText(const std::exception_ptr& error);
