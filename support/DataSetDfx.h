// A small in-memory table with a cursor: fields by name and index, records of
// text values (or null), first/next/end, append and post. Lists and grids
// exchange their rows through it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class TFieldKind { String, Integer, AutoInc, Boolean, Memo, Blob };

struct TFieldDef {
    std::string Name;
    std::string DisplayName; // "" : the name
    int DisplayWidth = 10;   // in characters
    TFieldKind Kind = TFieldKind::String;
    int Size = 0; // a String field's longest text; 0: no limit

    bool IsLargeObject() const { return Kind == TFieldKind::Memo || Kind == TFieldKind::Blob; }
    const std::string& Label() const { return DisplayName.empty() ? Name : DisplayName; }
};

class TDfxDataSet final {
public:
    using TValue = std::optional<std::string>; // nullopt: null

    void AddField(TFieldDef field);
    int FieldCount() const { return static_cast<int>(FFields.size()); }
    const TFieldDef& Field(int index) const { return FFields.at(static_cast<std::size_t>(index)); }
    // The field's index, found without regard to case; -1 when there is none.
    int FindField(const std::string& name) const;

    bool Active() const { return FActive; }
    void Open();
    void Close();

    int RecordCount() const { return static_cast<int>(FRecords.size()); }
    void First();
    void Next();
    bool Eof() const;
    int RecNo() const { return FCursor; }
    // The current record's value (the record being appended between Append and Post).
    const TValue& Value(int field) const;
    void SetValue(int field, TValue value);

    void Append();
    void Post();
    void Cancel();
    void EmptyTable();
    void Delete(); // the current record

    // A data-aware view stops following the table while controls are disabled.
    void DisableControls() { ++FControlsDisabled; }
    void EnableControls() { --FControlsDisabled; }
    bool ControlsDisabled() const { return FControlsDisabled > 0; }

private:
    std::vector<TFieldDef> FFields;
    std::vector<std::vector<TValue>> FRecords;
    std::vector<TValue> FEditBuffer;
    bool FAppending = false;
    bool FActive = false;
    int FCursor = 0;
    int64_t FNextAutoInc = 1;
    int FControlsDisabled = 0;
};
