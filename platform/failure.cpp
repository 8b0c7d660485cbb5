// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/failure.h"

#include <cerrno>

namespace platform {

namespace {

// The program's I/O error numbers, with the system error numbers that mean the same.
constexpr int kFileNotFound = 2;
constexpr int kInvalidFileName = 3;
constexpr int kTooManyOpenFiles = 4;
constexpr int kAccessDenied = 5;
constexpr int kDiskFull = 101;

int ioCodeFromErrno(int error) {
    switch (error) {
    case ENOENT:
        return kFileNotFound;
    case ENAMETOOLONG:
    case ENOTDIR:
    case EISDIR:
    case EINVAL:
        return kInvalidFileName;
    case EMFILE:
    case ENFILE:
        return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return kAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return kDiskFull;
    default:
        return 0;
    }
}

} // namespace

std::string ioErrorMessage(int code) {
    switch (code) {
    case kFileNotFound:
        return "Fichier introuvable";
    case kInvalidFileName:
        return "Nom de fichier incorrect";
    case kTooManyOpenFiles:
        return "Trop de fichiers ouverts";
    case kAccessDenied:
        return "Accès au fichier refusé";
    case 100:
        return "Lecture au-delà de la fin de fichier";
    case kDiskFull:
        return "Disque plein";
    case 106:
        return "Saisie numérique incorrecte";
    default:
        return "Erreur E/S " + std::to_string(code);
    }
}

ConversionError::ConversionError(const std::string& text)
    : Failure("'" + text + "' n'est pas une valeur entière correcte") {}

IoError::IoError(int code) : IoError(code, ioErrorMessage(code)) {}

// A system error without an equivalent keeps its own number in "Erreur E/S <n>", never the text
// of a program error that happens to share that number.
IoError IoError::fromErrno(int error) {
    const int code = ioCodeFromErrno(error);
    return code != 0 ? IoError(code) : IoError(error, "Erreur E/S " + std::to_string(error));
}

OverflowError::OverflowError() : Failure("Débordement d'entier") {}

RangeError::RangeError() : Failure("Erreur de vérification d'étendue") {}

} // namespace platform
