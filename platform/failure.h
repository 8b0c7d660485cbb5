// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's errors. Each carries the French message that the standard error box shows; no
// handler catches them itself, the event-dispatch boundary does, and the program goes on.

#include <stdexcept>
#include <string>

namespace platform {

// Base of every error the program reports to its user; what() is the UTF-8 message.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that is not a whole signed 32-bit integer.
class ConversionError : public Failure {
public:
    explicit ConversionError(const std::string& text);
};

// A failed file operation. code is the program's I/O error number (2 "Fichier introuvable", ...).
class IoError : public Failure {
public:
    explicit IoError(int code);
    // The error for a system error number (errno).
    static IoError fromErrno(int error);
    int code() const { return code_; }

private:
    IoError(int code, const std::string& message) : Failure(message), code_(code) {}
    int code_;
};

// Something the program cannot take for one of its files: not a regular file, or far too large.
class UnusableFile : public Failure {
public:
    using Failure::Failure;
};

// Counter arithmetic left the signed 32-bit range.
class OverflowError : public Failure {
public:
    OverflowError();
};

// A value outside the room made for it (a tooltip longer than its field).
class RangeError : public Failure {
public:
    RangeError();
};

// An operation refused in the object's present state; the message says why.
class InvalidOperation : public Failure {
public:
    using Failure::Failure;
};

// The message of an I/O error number: 2 "Fichier introuvable", ..., others "Erreur E/S <code>".
std::string ioErrorMessage(int code);

} // namespace platform
