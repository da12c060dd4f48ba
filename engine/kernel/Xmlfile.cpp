#include "engine/kernel/Xmlfile.h"

#include "engine/kernel/ObjectFactory.h"

namespace kernel {
namespace {

const ClassRegistrar registrar("Xmlfile", &Xmlfile::createInstance);

} // namespace

Xmlfile::Xmlfile(NodeValue& settings) : Resource(settings) {}

Xmlfile::~Xmlfile() = default;

Object* Xmlfile::createInstance(Value& settings) {
    return new Xmlfile(settings.asNode());
}

void Xmlfile::load() {
    document = new ValueDocument(fileName());
    document->load();
    markLoaded();
}

void Xmlfile::unload() {
    document.reset();
    Resource::unload();
}

std::string Xmlfile::toString() const {
    return Resource::toString() + "Object: " + (document ? "not 0" : "NULL") + "; ";
}

} // namespace kernel
