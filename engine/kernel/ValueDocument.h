#pragma once

#include "engine/kernel/FileAccess.h"
#include "engine/kernel/NodeValue.h"
#include "host/XmlParsing.h"

#include <cstddef>
#include <string>
#include <vector>

class TiXmlElement;
class TiXmlNode;

namespace kernel {

// Whether ValueDocument::save wrote the whole file.
enum class SaveResult { Saved, Failed };

// How reading one file went: read whole, not there, damaged, or there but unusable (a folder, a pipe, no
// permission, a read error: nothing of it is read), with what was wrong.
struct DocumentRead {
    enum class Result { Whole, Missing, Damaged, Unusable };
    Result result = Result::Missing;
    std::string problem;

    bool isDamaged() const { return result == Result::Damaged; }
    bool isUnusable() const { return result == Result::Unusable; }
};

// A Node bound to a list of XML files: every file adds its top-level values to this one tree, and the
// tree is written back as one file. Missing files are skipped and parse errors keep what was read; a file
// nested more deeply than any real one (host::maxXmlNesting) or larger than any real one (maxFileBytes) is
// not parsed and adds nothing, nor does a file on disk that is there but unusable (only regular files are
// opened, so nothing blocks). A damaged or unusable file is named in the problem log (host::ReportProblem)
// with what was wrong.
class ValueDocument : public NodeValue {
public:
    static constexpr std::size_t maxFileBytes = host::maxXmlBytes;

    // The name is listed unless it is empty.
    explicit ValueDocument(const std::string& fileName = {});

    void addFile(const std::string& name) { files.push_back(name); }
    const std::vector<std::string>& fileNames() const { return files; }

    // Written by save; empty until the owner sets it.
    void setSavePath(const std::string& path) { savePath = path; }
    const std::string& getSavePath() const { return savePath; }
    // A file-source mode; 0 (the default) follows the global mode.
    void setFileMode(int mode) { fileMode = mode; }
    int getFileMode() const { return fileMode; }
    // Typed XML (the default) keeps attributes and element text apart; plain XML reads an element holding
    // text as an untyped scalar named by its tag.
    void setTypedXml(bool typed) { typedXml = typed; }
    bool isTypedXml() const { return typedXml; }

    // Reads every listed file in order into the tree, without clearing it: later files win.
    void load();
    DocumentRead loadFile(const std::string& name);
    // One value made from an element and everything below it.
    SmartPtr<Value> parseElement(const TiXmlElement& element);

    // Writes the tree to the save path, scrambled with ".!" appended in the scrambled modes. The file is
    // replaced only once it was written whole, and never when it is there but unusable; a failure is written
    // to the problem log with the reason.
    [[nodiscard]] SaveResult save();
    virtual void writeValue(const Value& value, TiXmlNode& parent, bool insideNode);

    static constexpr ClassInfo classInfo{&NodeValue::classInfo};
    const ClassInfo* getClassInfo() const override { return &classInfo; }

private:
    SmartPtr<Value> makeValue(const TiXmlElement& element, const std::string& name) const;
    void copySetup(const TiXmlElement& element, NodeValue& node) const;
    void readAttributes(const TiXmlElement& element, Value& value) const;
    void readText(const TiXmlElement& element, Value& value) const;
    void readChildElements(const TiXmlElement& element, Value& value);
    void writeNodeChildren(const NodeValue& node, TiXmlElement& element);
    void writeUntypedScalar(const ScalarValue& scalar, TiXmlNode& parent);

    std::vector<std::string> files;
    std::string savePath;
    int fileMode = 0;
    bool typedXml = true;
};

} // namespace kernel
