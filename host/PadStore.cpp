#include "host/PadStore.h"

#include "platform/fileio.h"
#include "platform/inttext.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace pelmora::host {
namespace {

// Handles and identifiers both come from places, and both must fit 32 bits.
constexpr std::size_t kMostPads =
    static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() - kFirstPadHandle);

} // namespace

PadStore PadStore::Load(const std::filesystem::path& file) {
    PadStore store;
    store.file_ = file;
    store.ini_ = IniFile::Parse(ReadWholeFile(file));
    for (const IniFile::Section& section : store.ini_.Sections()) {
        if (const std::optional<std::int32_t> number = ParseIntText(section.Name);
            number && IntToStr(*number) == section.Name) {
            store.numbers_.push_back(*number);
        }
    }
    if (store.numbers_.size() > kMostPads) {
        throw std::runtime_error("too many pads in " + file.string());
    }
    return store;
}

std::optional<std::size_t> PadStore::PlaceOf(std::int32_t number) const {
    const auto found = std::find(numbers_.begin(), numbers_.end(), number);
    if (found == numbers_.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - numbers_.begin());
}

bool PadStore::HasPad(std::int32_t number) const {
    return PlaceOf(number).has_value();
}

std::int32_t PadStore::HandleOf(std::int32_t number) const {
    const std::optional<std::size_t> place = PlaceOf(number);
    if (!place) {
        throw std::logic_error("no pad " + std::to_string(number));
    }
    return kFirstPadHandle + static_cast<std::int32_t>(*place);
}

std::int32_t PadStore::IdForHandle(std::int32_t handle) const {
    if (handle < kFirstPadHandle ||
        static_cast<std::size_t>(handle - kFirstPadHandle) >= numbers_.size()) {
        return kNoPadId;
    }
    return handle - kFirstPadHandle + 1;
}

std::optional<std::int32_t> PadStore::NumberForId(std::int32_t id) const {
    if (id < 1 || static_cast<std::size_t>(id) > numbers_.size()) {
        return std::nullopt;
    }
    return numbers_[static_cast<std::size_t>(id) - 1];
}

std::optional<std::string> PadStore::Get(std::int32_t number, const std::string& key) const {
    if (!HasPad(number)) {
        return std::nullopt;
    }
    return ini_.Value(IntToStr(number), key);
}

bool PadStore::Set(std::int32_t number, const std::string& key, const std::string& value) {
    if (!HasPad(number)) {
        return false;
    }
    ini_.WriteString(IntToStr(number), key, value);
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
