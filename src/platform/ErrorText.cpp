#include "platform/ErrorText.h"

QString ErrorText(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromStdString(e.what());
    } catch (...) {
        return QStringLiteral("unknown error");
    }
}

QString ErrorMessage(const std::exception_ptr& error) {
    return QStringLiteral("Error: ") + ErrorText(error);
}
