#include "DataSetDfx.h"

#include "StrUtilsDfx.h"

#include <stdexcept>

void TDfxDataSet::AddField(TFieldDef field) {
    if (FActive) {
        throw std::logic_error("Cannot add a field to an open data set");
    }
    FFields.push_back(std::move(field));
}

int TDfxDataSet::FindField(const std::string& name) const {
    for (std::size_t i = 0; i < FFields.size(); ++i) {
        if (DfxSameText(FFields[i].Name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TDfxDataSet::Open() {
    FActive = true;
    First();
}

void TDfxDataSet::Close() {
    FActive = false;
    FAppending = false;
}

void TDfxDataSet::First() {
    FCursor = 0;
}

void TDfxDataSet::Next() {
    if (FCursor < RecordCount()) {
        ++FCursor;
    }
}

bool TDfxDataSet::Eof() const {
    return FCursor >= RecordCount();
}

const TDfxDataSet::TValue& TDfxDataSet::Value(int field) const {
    static const TValue null;
    if (FAppending) {
        return FEditBuffer.at(static_cast<std::size_t>(field));
    }
    if (Eof()) {
        return null;
    }
    return FRecords[static_cast<std::size_t>(FCursor)].at(static_cast<std::size_t>(field));
}

void TDfxDataSet::SetValue(int field, TValue value) {
    const TFieldDef& def = Field(field);
    if (value && def.Kind == TFieldKind::String && def.Size > 0 &&
        value->size() > static_cast<std::size_t>(def.Size)) {
        value->resize(
            static_cast<std::size_t>(def.Size)); // longer texts are cut to the field's size
    }
    if (FAppending) {
        FEditBuffer[static_cast<std::size_t>(field)] = std::move(value);
    } else if (!Eof()) {
        FRecords[static_cast<std::size_t>(FCursor)][static_cast<std::size_t>(field)] =
            std::move(value);
    }
}

void TDfxDataSet::Append() {
    if (!FActive) {
        throw std::logic_error("Dataset must be Active");
    }
    FEditBuffer.assign(FFields.size(), std::nullopt);
    FAppending = true;
}

void TDfxDataSet::Post() {
    if (!FAppending) {
        return;
    }
    for (std::size_t i = 0; i < FFields.size(); ++i) {
        if (FFields[i].Kind == TFieldKind::AutoInc) {
            FEditBuffer[i] = std::to_string(FNextAutoInc++);
        }
    }
    FRecords.push_back(std::move(FEditBuffer));
    FEditBuffer.clear();
    FAppending = false;
    FCursor = RecordCount() - 1;
}

void TDfxDataSet::Cancel() {
    FEditBuffer.clear();
    FAppending = false;
}

void TDfxDataSet::EmptyTable() {
    FRecords.clear();
    Cancel();
    FCursor = 0;
}

void TDfxDataSet::Delete() {
    if (!Eof()) {
        FRecords.erase(FRecords.begin() + FCursor);
    }
}
