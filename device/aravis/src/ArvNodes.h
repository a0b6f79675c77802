// The camera's GenICam features as the SDK interface's nodes: float,
// integer, enumeration and boolean features of the device's feature tree.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "ArvLink.h"
#include "camera/NodeMap.h"

namespace kelo::arvcam {

class ArvNodeMap : public camera::NodeMap {
public:
    explicit ArvNodeMap(ArvLink& link);
    ~ArvNodeMap() override;

    camera::FloatNode* floatNode(const std::string& name) override;
    camera::IntegerNode* integerNode(const std::string& name) override;
    camera::EnumerationNode* enumerationNode(const std::string& name) override;
    camera::BooleanNode* booleanNode(const std::string& name) override;

private:
    template <typename Wrapper>
    Wrapper* lookUp(const std::string& name, bool (*hasType)(ArvGcNode*));

    ArvLink& link;
    // Made on first use and kept while the camera is open; guarded by link.lock.
    std::map<std::string, std::unique_ptr<camera::Node>> nodes;
};

}  // namespace kelo::arvcam
