// A node of the in-memory XML tree: a byte-string name, a text value, attributes and the child
// nodes it owns.
#pragma once

#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "support/xml_attribute.h"

// Every operation that walks the tree (copying, freeing, writing, reading) works with a list of
// its own instead of recursing, so a tree of any depth is safe on a small thread stack.
class TVYNXMLNode {
 public:
  // A node without a parent belongs to whoever created it; the children of a node belong to it.
  TVYNXMLNode() = default;
  virtual ~TVYNXMLNode();
  TVYNXMLNode(const TVYNXMLNode&) = delete;
  TVYNXMLNode& operator=(const TVYNXMLNode&) = delete;

  // Creates a child with Name at the end of the children and returns it.
  virtual TVYNXMLNode* Add(std::string_view name);
  // Replaces name, value, attributes and children with a deep copy of Source's. Source may be
  // a descendant of this node.
  virtual void Assign(const TVYNXMLNode& source);
  // Frees all children (name, value and attributes stay).
  virtual void Clear();

  int Count() const { return static_cast<int>(children_.size()); }
  // nil when Index is out of range.
  TVYNXMLNode* Items(int index) const;
  // The first child whose name matches (SameXMLName), or nil.
  TVYNXMLNode* FindNode(std::string_view name) const;
  // Walks from this node through one child per name. A missing child is added when CanCreate
  // is set; otherwise the walk stops and the result is nil.
  TVYNXMLNode* FindNodeByPath(std::span<const std::string_view> names, bool can_create);
  TVYNXMLNode* FindNodeByPath(std::initializer_list<std::string_view> names, bool can_create) {
    return FindNodeByPath(std::span<const std::string_view>(names.begin(), names.size()),
                          can_create);
  }

  // Moves this node to the end of NewParent's children, taking it out of its present parent's
  // list. Nothing happens when NewParent is this node, its present parent or one of its
  // descendants, nor for a node without a parent: that one belongs to whoever holds it, not to
  // a tree. A nil NewParent detaches the node and hands it to the caller; the returned pointer
  // is empty in every other case, and dropping it frees the detached node.
  std::unique_ptr<TVYNXMLNode> SetParent(TVYNXMLNode* new_parent);
  TVYNXMLNode* Parent() const { return parent_; }

  std::string NodeName;
  String NodeValue;
  TVYNXMLAttributes Attributes;

 protected:
  // Raises when this node takes no further child. Add and SetParent ask before they change
  // anything.
  virtual void CheckRoomForChild() const {}

 private:
  TVYNXMLNode* AppendChild(std::unique_ptr<TVYNXMLNode> child);
  static void CopyTree(const TVYNXMLNode& source, TVYNXMLNode& target);
  static void FreeTrees(std::vector<std::unique_ptr<TVYNXMLNode>> nodes);

  TVYNXMLNode* parent_ = nullptr;
  // Empty until the first Add; an empty vector holds no storage.
  std::vector<std::unique_ptr<TVYNXMLNode>> children_;
};
