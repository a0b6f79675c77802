// Short forms of the node writes the camera device makes.
#pragma once

#include <string>

#include "camera/NodeMap.h"

namespace kelo::device {

// The node exists and can be written.
inline bool writable(const camera::Node* node) {
    return node != nullptr && camera::isWritable(node->accessMode());
}

// Sets an enumeration node to `symbol` with verification; a missing node
// raises the SDK's error for it.
inline void setSymbol(camera::NodeMap& nodes, const char* name, const std::string& symbol) {
    camera::required(nodes.enumerationNode(name)).setValue(symbol);
}

}  // namespace kelo::device
