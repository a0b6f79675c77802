// The camera SDK's error types. Every SDK operation reports failure by
// throwing GenericException or a type derived from it.
#pragma once

#include <stdexcept>
#include <string>

namespace kelo::camera {

class GenericException : public std::runtime_error {
public:
    explicit GenericException(const std::string& what) : std::runtime_error(what) {}
};

// Use of a node that does not exist ("NULL pointer dereferenced"), or a call
// that the object's state does not allow (no device attached, not open).
class LogicalErrorException : public GenericException {
public:
    using GenericException::GenericException;
};

// A value outside a node's limits, or a symbol the enumeration lacks.
class OutOfRangeException : public GenericException {
public:
    using GenericException::GenericException;
};

// A write to a read-only node or a read of a write-only one.
class AccessException : public GenericException {
public:
    using GenericException::GenericException;
};

// A write whose read-back differs from the value written.
class VerifyException : public GenericException {
public:
    using GenericException::GenericException;
};

// No image within the time-out of a retrieval that was told to throw.
class TimeoutException : public GenericException {
public:
    using GenericException::GenericException;
};

// The camera was unplugged while it was used.
class RuntimeException : public GenericException {
public:
    using GenericException::GenericException;
};

// The message of the error raised for a node that is used but missing.
inline constexpr const char* kMissingNodeMessage = "NULL pointer dereferenced";

}  // namespace kelo::camera
