#pragma once

#include "VelPigger/persistent.h"

#include <cstdint>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace parvex {

/// Raised by the tag document reader; Position is the 1-based index where reading stopped.
class EVelPiggerError : public std::runtime_error {
public:
    /// An error with its message and 1-based text position.
    EVelPiggerError(const std::string& Message, std::int32_t Position);
    std::int32_t Position;
};

/// Raised by the file layer of the tag document: a file that cannot be opened, created or written.
class EFileStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// One element of a tag document: upper-case name, string attributes, text and owned children.
class TVelPigger : public TPersistent {
public:
    /// A new empty element; with a Parent it becomes that parent's last child.
    explicit TVelPigger(TVelPigger* Parent = nullptr);
    /// Detaches the element from its parent and destroys its subtree.
    ~TVelPigger() override;

    /// Virtual constructor: a new empty element of this element's own class under Parent.
    virtual TVelPigger* Create(TVelPigger* Parent) const;
    /// Deep copy of another element (same names, attributes, text, children of the same class).
    void Assign(const TPersistent& Source) override;
    std::string ClassName() const override;

    /// Destroys the children and empties name, text and attributes; keeps the parent.
    virtual void Clear();
    /// Moves the element (with its subtree) to the end of NewParent's children, or detaches it.
    virtual void SetParent(TVelPigger* NewParent);

    /// Stores Name trimmed of characters 0 to 32, with a to z turned into A to Z.
    void SetName(std::string_view NewName);
    /// Sets the first attribute of that name (appending it when missing); empty Value deletes.
    void SetAttr(std::string_view AttrName, std::string_view Value);
    /// Value of the first attribute of that name, empty when there is none.
    std::string GetAttr(std::string_view AttrName) const;
    /// Removes the first attribute of that name, if any.
    void DeleteAttr(std::string_view AttrName);
    /// Replaces the element's text (already decoded).
    void SetText(std::string NewText);

    /// Number of children.
    int ChildCount() const;
    /// Child at the 0-based Index, or nullptr when Index is out of range.
    TVelPigger* GetChild(int Index) const;
    /// First child whose name equals ChildName with a to z upper-cased; nullptr when none.
    TVelPigger* FindChild(std::string_view ChildName) const;
    /// Next child after Child (from the first when Child is not ours) with Child's exact name.
    TVelPigger* FindNext(const TVelPigger* Child) const;

    /// Element (tag) name as stored.
    const std::string& Name() const { return FName; }
    /// Decoded text content.
    const std::string& Text() const { return FText; }
    /// Written before the start and end tags: CR LF and one TAB per ancestor. It is worked out
    /// from the place in the tree, never stored, so memory stays linear in the document's size.
    std::string Indent() const;
    /// The element whose children hold this one; nullptr for a root.
    TVelPigger* Parent() const { return FParent; }
    /// Attribute names in list order.
    const std::vector<std::string>& AttrNames() const { return FAttrNames; }
    /// Attribute values; entry i belongs to AttrNames()[i].
    const std::vector<std::string>& AttrValues() const { return FAttrValues; }

    /// Clears the element and reads one element of Source into it; empty Source reads nothing.
    virtual void LoadFromText(const std::string& Source);
    /// The element and its subtree in the written layout; empty when Name is empty.
    virtual std::string SaveToText() const;
    /// Reads the stream to its end, normalises line breaks to CR LF, cuts at NUL, loads it.
    void LoadFromStream(std::istream& Stream);
    /// Writes SaveToText in one write; nothing for an empty text.
    void SaveToStream(std::ostream& Stream) const;
    /// Loads a file; raises EFileStreamError "Cannot open file %s" when it cannot be opened.
    void LoadFromFile(const std::string& FileName);
    /// Creates or truncates a file and saves into it; raises "Cannot create file %s".
    void SaveToFile(const std::string& FileName) const;

    /// Reads one element of Source from the 1-based position Pos into this node, advancing Pos.
    virtual void ReadElement(const std::string& Source, std::int32_t& Pos);

    /// Percent-encodes a value or text for writing.
    static std::string EncodeText(std::string_view Plain);
    /// Decodes %XX escapes of a value or text that was read.
    static std::string DecodeText(std::string_view Encoded);

protected:
    /// Reader hook: the node that receives a child element named TagName; nullptr skips it.
    virtual TVelPigger* CreateChild(const std::string& TagName);
    /// Reader hook: called after a child from CreateChild has been read completely.
    virtual void ChildLoaded(TVelPigger* Child);
    /// Reader hook: whether a decoded, non-empty text piece is appended to the text.
    virtual bool AcceptText(const std::string& Piece);
    /// Reports a reading failure; the default raises EVelPiggerError. Reading never goes on
    /// after it: when an override returns, the reader raises EVelPiggerError itself.
    virtual void Error(const std::string& Message, std::int32_t Position);

private:
    friend class TVelPiggerReader;

    std::size_t AncestorCount() const;
    void DetachChild(const TVelPigger* Child);
    void WriteElement(std::string& Out, std::size_t Depth) const;

    std::string FName;
    std::string FText;
    TVelPigger* FParent = nullptr;
    std::vector<std::string> FAttrNames;
    std::vector<std::string> FAttrValues;
    std::vector<TVelPigger*> FChildren;
};

} // namespace parvex
