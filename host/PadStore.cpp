#include "host/PadStore.h"

#include "platform/fileio.h"
#include "platform/inttext.h"

namespace pelmora::host {

PadStore PadStore::Load(const std::filesystem::path& file) {
    PadStore store;
    store.file_ = file;
    store.ini_ = IniFile::Parse(ReadWholeFile(file));
    return store;
}

bool PadStore::HasPad(std::int32_t id) const {
    return ini_.SectionExists(IntToStr(id));
}

std::vector<std::int32_t> PadStore::PadIds() const {
    std::vector<std::int32_t> ids;
    for (const IniFile::Section& section : ini_.Sections()) {
        if (const std::optional<std::int32_t> id = ParseIntText(section.name);
            id && IntToStr(*id) == section.name) {
            ids.push_back(*id);
        }
    }
    return ids;
}

std::int32_t PadStore::IdForHandle(std::int32_t handle) const {
    if (handle < kPadHandleBase) {
        return kNoPad;
    }
    const std::int32_t id = handle - kPadHandleBase;
    return HasPad(id) ? id : kNoPad;
}

std::optional<std::string> PadStore::Get(std::int32_t id, const std::string& key) const {
    if (!HasPad(id)) {
        return std::nullopt;
    }
    return ini_.Value(IntToStr(id), key);
}

bool PadStore::Set(std::int32_t id, const std::string& key, const std::string& value) {
    if (!HasPad(id)) {
        return false;
    }
    ini_.WriteString(IntToStr(id), key, value);
    modified_ = true;
    return true;
}

void PadStore::SaveIfModified() {
    if (modified_) {
        ini_.Save(file_);
        modified_ = false;
    }
}

} // namespace pelmora::host
