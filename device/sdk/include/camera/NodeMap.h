// A camera's named settings ("nodes"), looked up by name. Lookups return
// null for a node the camera lacks; the required*() helpers turn that into
// the SDK's LogicalErrorException, as using a missing node does.
//
// Nodes may be read and written from any thread, also while the camera
// grabs; a write takes effect for the next frame that starts exposing.
#pragma once

#include <cstdint>
#include <string>

#include "camera/Errors.h"

namespace kelo::camera {

enum class AccessMode { NotAvailable, ReadOnly, WriteOnly, ReadWrite };

inline bool isWritable(AccessMode mode) {
    return mode == AccessMode::WriteOnly || mode == AccessMode::ReadWrite;
}

class Node {
public:
    virtual ~Node() = default;
    virtual AccessMode accessMode() const = 0;
};

// A real-valued setting in its physical unit (ExposureTime: microseconds,
// Gain: dB, ResultingFrameRate: frames per second).
class FloatNode : public Node {
public:
    virtual double value() const = 0;
    virtual double minimum() const = 0;
    virtual double maximum() const = 0;
    // Throws OutOfRangeException outside [minimum, maximum], AccessException
    // when not writable, VerifyException when verify is set and the
    // read-back differs.
    virtual void setValue(double value, bool verify = true) = 0;
};

class IntegerNode : public Node {
public:
    virtual std::int64_t value() const = 0;
    virtual std::int64_t minimum() const = 0;
    virtual std::int64_t maximum() const = 0;
    virtual std::int64_t increment() const = 0;
    virtual void setValue(std::int64_t value, bool verify = true) = 0;
};

// A setting that takes one of a list of symbols ("Off", "Continuous", ...).
class EnumerationNode : public Node {
public:
    virtual std::string value() const = 0;
    virtual bool hasSymbol(const std::string& symbol) const = 0;
    virtual void setValue(const std::string& symbol, bool verify = true) = 0;
};

class BooleanNode : public Node {
public:
    virtual bool value() const = 0;
    virtual void setValue(bool value, bool verify = true) = 0;
};

class NodeMap {
public:
    virtual ~NodeMap() = default;
    // Null when the camera has no node of that name and type.
    virtual FloatNode* floatNode(const std::string& name) = 0;
    virtual IntegerNode* integerNode(const std::string& name) = 0;
    virtual EnumerationNode* enumerationNode(const std::string& name) = 0;
    virtual BooleanNode* booleanNode(const std::string& name) = 0;
};

// The node or, when it is missing, LogicalErrorException(kMissingNodeMessage).
template <typename NodeType>
NodeType& required(NodeType* node) {
    if (node == nullptr) throw LogicalErrorException(kMissingNodeMessage);
    return *node;
}

}  // namespace kelo::camera
