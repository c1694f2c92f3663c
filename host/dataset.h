// TDataSet: the in-memory table that every screen keeps its records in, made
// to behave like the host's client dataset. It has named, typed fields, rows,
// a current row, browse/insert/edit states, ordered indexes, a filter, a
// change log, and the host's dataset events. A server reply packet loads
// into it, replacing its rows; its change log becomes a Delta for the server.
//
//   TDataSet cds("cdsBoletos");
//   cds.AddIndex("idxOrdena", "DTVENBOLPAG;NMRAZSOCFORN");
//   cds.SetIndexName("idxOrdena");
//   cds.LoadPacket(reply);                       // rows replaced, first row current
//   TField& marked = cds.FieldByName("IDMARCADO");   // stays valid, O(1) access
//   for (cds.First(); !cds.Eof(); cds.Next())
//     if (marked.AsString() == "N") { cds.Edit(); marked.SetAsString("S"); cds.Post(); }
//   Delta changes = cds.GetDelta();
//
// Event order, as the host fires them (an event that throws stops the
// operation at that point; a Before event that throws leaves everything as
// it was):
//   Append / Insert:  [pending edit posted or cancelled] BeforeInsert,
//                     BeforeScroll, (state Insert, blank row) OnNewRecord,
//                     OnCalcFields, AfterInsert, AfterScroll
//   Edit:             BeforeEdit, (state Edit) AfterEdit.
//                     Edit on an empty dataset is an Insert.
//   Post:             BeforePost, (row stored, state Browse) OnCalcFields,
//                     AfterPost, then AfterScroll when the posted row changed
//                     place in the order, or left the filter so that another
//                     row became current.
//   Cancel:           BeforeCancel, [BeforeScroll for an insert], (state
//                     Browse) AfterCancel, [AfterScroll for an insert]
//   Delete:           BeforeDelete, BeforeScroll, (row removed) AfterDelete,
//                     AfterScroll. Delete during an insert is a Cancel.
//   First, Last, Next, Prior, MoveBy, SetRecNo:
//                     [pending edit posted or cancelled] BeforeScroll,
//                     [OnCalcFields], AfterScroll; on every call, also when
//                     the cursor cannot move (Next on the last row).
//   Locate:           BeforeScroll; [OnCalcFields] and AfterScroll only when
//                     found.
//   GotoBookmark:     BeforeScroll, [OnCalcFields], AfterScroll.
//   LoadPacket:       [BeforeClose, AfterClose when it was open] BeforeOpen,
//                     AfterOpen, OnCalcFields and AfterScroll for the first row
//                     when there is one.
//   CreateDataSet:    BeforeOpen, AfterOpen.   Close: BeforeClose, AfterClose.
//   SetFilter, SetFiltered, CancelUpdates: AfterScroll only when the current
//                     row left the view and another one became current.
//   Index changes, EmptyDataSet, MergeChangeLog: no events.
// "Pending edit posted or cancelled" is CheckBrowseMode: an insert or edit in
// progress is posted when a field was set after OnNewRecord / Edit, and
// cancelled otherwise (so an appended row that was never typed into vanishes).
//
// Calculated fields are computed by OnCalcFields, in which they may be set:
// when a row becomes current or is read (a filter or a view reading a row
// that never was current) while its calculated values are not known, whenever
// a row is posted, and after each change of a data field during an edit.
// They stay known until the row is changed, the rows are loaded again, a
// field is added or OnCalcFields is replaced, so OnCalcFields must compute
// them from the row's own fields ("[OnCalcFields]" above: only when they are
// not known). They are not part of packets, deltas, indexes or the change log.
//
// Observers (views) are told about changes unless controls are disabled;
// DisableControls never suppresses the events above.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "host/datetime.h"
#include "host/decimal.h"
#include "host/packet.h"
#include "host/value.h"

namespace pag {

class TDataSet;

// OnCalcFields: a handler like the dataset's other events, which counts its
// replacements, so that calculated values worked out by an earlier handler
// are worked out again.
class CalcFieldsEvent {
 public:
  CalcFieldsEvent() = default;
  CalcFieldsEvent(const CalcFieldsEvent&) = delete;
  CalcFieldsEvent& operator=(const CalcFieldsEvent&) = delete;
  template <typename F>
    requires(!std::is_same_v<std::decay_t<F>, CalcFieldsEvent>)
  CalcFieldsEvent& operator=(F&& handler) {
    handler_ = std::forward<F>(handler);
    ++version_;
    return *this;
  }
  explicit operator bool() const { return static_cast<bool>(handler_); }
  void operator()(TDataSet& ds) const { handler_(ds); }
  std::uint64_t version() const { return version_; }

 private:
  std::function<void(TDataSet&)> handler_;
  std::uint64_t version_ = 0;
};

enum class DataSetState { kInactive, kBrowse, kEdit, kInsert };

// One field of a dataset. Reads give the value of the current row (or of the
// row being edited or inserted); writes need the dataset in Edit or Insert
// state. A field belongs to its dataset and keeps its address for the
// dataset's whole life, so screens and writers may hold a TField&.
//
//   TField& value = cds.FieldByName("VRFINALBPAG");   // decimal, scale 2
//   value.SetAsString("1.234,5");   // stored as 1234.50
//   value.AsString();               // "1234.50"
//   value.AsMoney();                // 123450 cents
class TField {
 public:
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  const std::string& FieldName() const { return def_.name; }
  const FieldDef& Def() const { return def_; }
  FieldKind Kind() const { return def_.kind; }
  int Size() const { return def_.size; }
  int Scale() const { return def_.scale; }
  bool Calculated() const { return calculated_; }
  // Position among the dataset's fields (0-based, declaration order).
  int Index() const { return index_; }
  TDataSet& DataSet() const { return *dataset_; }
  // Caption for grids and messages; the field name unless set.
  const std::string& DisplayLabel() const { return label_.empty() ? def_.name : label_; }
  void SetDisplayLabel(std::string label) { label_ = std::move(label); }

  // The stored value: null, or the alternative of the field's kind (text,
  // int64, Decimal with the field's scale, DateTime). The reference holds
  // until the dataset changes.
  const pag::Value& Value() const;
  bool IsNull() const;

  // Reading converts from the field's kind. Null reads as "", 0 or the host's
  // zero date. Text that is not a number or a date throws FieldError.
  std::string AsString() const;  // decimals with "." and the field's scale, date-times ISO
  std::int64_t AsInteger() const;  // decimals rounded half away from zero
  Decimal AsDecimal() const;
  Money AsMoney() const;  // rounded half away from zero to cents
  DateTime AsDateTime() const;

  // Writing converts to the field's kind and refuses what does not fit with
  // a FieldError naming the dataset, the field and the value: text longer
  // than the field's size (counted in characters), a number with more
  // decimals than the field's scale, text that is not a number or a date.
  // Empty text clears a number or date field; it stays "" in a text field.
  void SetAsString(std::string_view text);
  void SetAsInteger(std::int64_t value);
  void SetAsDecimal(const Decimal& value);
  void SetAsMoney(Money value);
  void SetAsDateTime(const DateTime& value);
  void SetValue(const pag::Value& value);
  void Clear();

  // The text shown for the value: OnGetText when set, else AsString().
  std::string DisplayText() const;
  // Stores what the user chose as text: OnSetText when set, else SetAsString.
  void SetText(std::string_view text);

  // Display handler: the text to show for the current value.
  std::function<std::string(const TField&)> OnGetText;
  // Edit handler: stores the value that corresponds to a chosen text.
  std::function<void(TField&, std::string_view)> OnSetText;

 private:
  friend class TDataSet;
  TField(TDataSet* dataset, FieldDef def, bool calculated, int index, std::size_t slot)
      : dataset_(dataset), def_(std::move(def)), calculated_(calculated), index_(index), slot_(slot) {}

  TDataSet* dataset_;
  FieldDef def_;
  bool calculated_;
  int index_;
  std::size_t slot_;  // position in a row's data values, or in its calculated values
  std::string label_;
};

// How Locate compares text fields.
struct LocateOptions {
  bool caseInsensitive = false;  // ASCII letters
  bool partialKey = false;       // the field's text starts with the value
};

// A row to come back to. Valid while the row exists, across index and filter
// changes, until the dataset is loaded again, emptied or closed.
struct TBookmark {
  std::uint64_t generation = 0;  // 0: no row
  std::uint32_t slot = 0;
  bool IsEmpty() const { return generation == 0; }
  friend bool operator==(const TBookmark&, const TBookmark&) = default;
};

// Told about changes to a dataset, for views (a list model over a grid).
// Row numbers are 1-based as RecNo, in the current order of the visible rows.
class DataSetObserver {
 public:
  virtual ~DataSetObserver() = default;
  // Everything may have changed: rows loaded, emptied, reordered, refiltered,
  // or controls enabled again.
  virtual void DataSetReset(const TDataSet&) {}
  virtual void RowChanged(const TDataSet&, int /*recNo*/) {}
  virtual void RowInserted(const TDataSet&, int /*recNo*/) {}
  // recNo is where the row was before it was removed.
  virtual void RowDeleted(const TDataSet&, int /*recNo*/) {}
  // 0 when no row is current.
  virtual void CurrentRowChanged(const TDataSet&, int /*recNo*/) {}
  virtual void StateChanged(const TDataSet&, DataSetState) {}
};

class TDataSet {
 public:
  using Event = std::function<void(TDataSet&)>;
  using FilterFunc = std::function<bool(const TDataSet&)>;

  explicit TDataSet(std::string name = {});
  ~TDataSet();
  TDataSet(const TDataSet&) = delete;
  TDataSet& operator=(const TDataSet&) = delete;

  const std::string& Name() const { return name_; }

  // ---- Structure ----------------------------------------------------------
  // Declares a data field. Allowed in browse or inactive state; existing rows
  // get a null value. A duplicate name throws std::invalid_argument.
  TField& AddField(FieldDef def);
  // Declares a calculated field, set by OnCalcFields.
  TField& AddCalcField(FieldDef def);
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  TField& Fields(int index) { return *fields_.at(static_cast<std::size_t>(index)); }
  const TField& Fields(int index) const { return *fields_.at(static_cast<std::size_t>(index)); }
  // Case-insensitive. FieldByName throws std::out_of_range naming the field
  // and the dataset; FindField gives nullptr.
  TField& FieldByName(std::string_view name);
  const TField& FieldByName(std::string_view name) const;
  TField* FindField(std::string_view name);
  const TField* FindField(std::string_view name) const;
  // Definitions of the data fields, in field order (what packets carry).
  std::vector<FieldDef> DataFieldDefs() const;

  // ---- Opening, loading, closing -------------------------------------------
  // Opens the dataset empty with the declared fields.
  void CreateDataSet();
  // Replaces every row with the packet's rows. Packet columns match declared
  // fields by name, case-insensitive; undeclared columns become new fields;
  // declared fields the packet lacks are null; a column named like a
  // calculated field is ignored. Values are converted to the
  // fields' kinds and checked like SetValue (a FieldError leaves the dataset
  // as it was). Clears the change log; the first row in the current order
  // becomes current. Pass an rvalue to move the rows instead of copying.
  void LoadPacket(Packet packet);
  // Every row (ignoring the filter) in insertion order, data fields only.
  Packet ToPacket() const;
  // Drops the rows; fields, indexes, filter and events stay.
  void Close();
  bool Active() const { return state_ != DataSetState::kInactive; }
  // Removes every row and forgets the change log (the rows are not logged as
  // deleted). The dataset stays open.
  void EmptyDataSet();

  // ---- Navigation (over the rows that pass the filter, in index order) ----
  void First();
  void Last();
  void Next();
  void Prior();
  // Moves up to `distance` rows; returns how many it moved (negative backwards).
  int MoveBy(int distance);
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  int RecordCount() const;
  // 1-based position of the current row; 0 with no row. During an insert,
  // where the new row is shown: before the row that was current, or after the
  // last row for Append.
  int RecNo() const;
  // Makes row n (1-based) current; std::out_of_range outside 1..RecordCount.
  void SetRecNo(int recNo);
  bool IsEmpty() const;
  TBookmark GetBookmark() const;
  bool BookmarkValid(const TBookmark& bookmark) const;
  // Makes the bookmarked row current; std::out_of_range when it no longer
  // exists or is filtered out.
  void GotoBookmark(const TBookmark& bookmark);
  // Moves to the first row, in the current order, whose fields ("A;B") equal
  // the values (one per field); false, and no move, when none does. Values
  // are taken in the fields' kinds ("7,1" finds 7.10); a null finds nulls.
  // Halves the search when the current index starts with those fields.
  // Text fields matched exactly are found through a lookup by their values,
  // made by the first such Locate on a dataset of 64 rows or more and kept
  // up to date from then on. Otherwise reads the rows in order.
  bool Locate(std::string_view fieldNames, const std::vector<Value>& values, LocateOptions options = {});

  // ---- Editing ---------------------------------------------------------------
  DataSetState State() const { return state_; }
  // True when a field was set since Edit, or since OnNewRecord for an insert.
  bool Modified() const { return modified_; }
  void Append();
  void Insert();
  void Edit();
  // Stores the row: an insert goes where the current index puts it.
  void Post();
  void Cancel();
  void Delete();
  // Posts a modified insert or edit; cancels one that nothing was typed into.
  void CheckBrowseMode();

  // ---- Indexes ---------------------------------------------------------------
  // A named order on "A;B"; fields also named in descFields sort descending.
  // Fields compare by kind: text bytewise, numbers numerically, date-times by
  // time; nulls come first (last in a descending field). Equal keys keep the
  // order the rows were added in.
  void AddIndex(std::string name, std::string fields, std::string descFields = {});
  // "" gives the insertion order. The current row stays current.
  void SetIndexName(std::string_view name);
  const std::string& IndexName() const { return index_name_; }
  // Orders on the fields directly, without a named index ("" for none).
  void SetIndexFieldNames(std::string_view fields);
  const std::string& IndexFieldNames() const { return index_field_names_; }

  // ---- Filter ------------------------------------------------------------------
  // The filter reads the row it is asked about through the dataset's fields.
  // Its answer for a row is kept until the row changes or the filter is set
  // again; call SetFilter again when what it depends on outside changes.
  // The current row stays when it passes; otherwise the first row that passes
  // becomes current.
  void SetFilter(FilterFunc filter);
  void SetFiltered(bool filtered);
  bool Filtered() const { return filtered_; }

  // ---- Change log ------------------------------------------------------------
  // Inserted, modified (with the values as loaded) and deleted rows since the
  // last load or merge, in the order they were first changed. A row inserted
  // and then modified is one insert; inserted and then deleted, nothing.
  Delta GetDelta() const;
  int ChangeCount() const { return change_count_; }
  // Accepts the changes: the rows as they are now become the loaded rows.
  void MergeChangeLog();
  // Puts back the rows as they were loaded (or last merged).
  void CancelUpdates();

  // ---- Views -------------------------------------------------------------------
  void AddObserver(DataSetObserver* observer);
  void RemoveObserver(DataSetObserver* observer);
  // Nested: while disabled, observers hear nothing; the last EnableControls
  // sends them one DataSetReset. Events still fire.
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return controls_disabled_ > 0; }
  // The value and display text of a field in visible row recNo (1-based),
  // without moving the cursor or firing scroll events. The row as stored: an
  // edit in progress shows after Post.
  const Value& ValueAt(int recNo, const TField& field) const;
  std::string DisplayTextAt(int recNo, const TField& field) const;

  // ---- Events (see the order at the top of this file) ---------------------
  Event BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  Event BeforeInsert, OnNewRecord, AfterInsert;
  Event BeforeEdit, AfterEdit;
  Event BeforePost, AfterPost;
  Event BeforeCancel, AfterCancel;
  Event BeforeDelete, AfterDelete;
  Event BeforeScroll, AfterScroll;
  CalcFieldsEvent OnCalcFields;

 private:
  friend class TField;
  static constexpr std::uint32_t kNoRow = 0xFFFFFFFFu;

  enum class RowStatus : std::uint8_t { kUnchanged, kInserted, kModified, kDeleted, kGone };
  struct Row {
    std::vector<Value> values;
    std::vector<Value> original;  // as loaded: modified and deleted rows
    mutable std::vector<Value> calc;
    mutable bool calc_valid = false;
    mutable std::uint64_t calc_version = 0;  // of OnCalcFields that computed calc
    RowStatus status = RowStatus::kUnchanged;
    std::uint64_t change_seq = 0;  // when it entered the change log
  };
  struct Index {
    std::string name;  // "" for the one behind SetIndexFieldNames
    std::string fields;
    std::string desc_fields;
    std::vector<std::size_t> keys;  // data slots, resolved when first built
    std::vector<bool> descending;
    bool resolved = false;
    bool built = false;
    std::vector<std::uint32_t> order;  // live row slots, sorted
    std::vector<std::uint32_t> pending;  // rows added since, merged in when the order is read
  };
  // Rows by the values of some text fields, for Locate: made by the first
  // Locate on those fields, kept as rows are added, changed and deleted,
  // dropped when the rows are replaced.
  struct KeyLookup {
    std::vector<std::size_t> fields;  // data slots
    std::unordered_multimap<std::string, std::uint32_t> rows;
    bool built = false;
  };
  static constexpr std::size_t kLookupMinRows = 64;
  struct CaseInsensitiveHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept;
  };
  struct CaseInsensitiveEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept;
  };
  class EvalScope;
  class CalcScope;

  TField& NewField(FieldDef def, bool calculated);
  [[noreturn]] void ThrowNotEditing() const;
  void RequireActive() const;

  // Reading and writing field values.
  const Value& Read(const TField& field) const;
  const Value& RowValue(std::uint32_t slot, const TField& field) const;
  void Assign(TField& field, Value value);
  Value Conform(const TField& field, Value value) const;
  Value ConformForSearch(const TField& field, const Value& value) const;
  void CalcRow(std::uint32_t slot) const;
  // Whether the row's calculated values are known (see the top of this file).
  bool CalcKnown(const Row& row) const { return row.calc_valid && row.calc_version == OnCalcFields.version(); }
  void CalcEditBuffer();
  bool HasCalc() const { return !calc_fields_.empty(); }

  // Orders and the visible rows.
  Index* ActiveIndex();
  const Index* ActiveIndex() const;
  void Resolve(Index& index) const;
  void Build(Index& index) const;
  // Merges the rows added since the order was built into it.
  void Settle(Index& index) const;
  bool Less(const Index& index, std::uint32_t a, std::uint32_t b) const;
  const std::vector<std::uint32_t>& Order() const;
  const std::vector<std::uint32_t>& View() const;
  bool Passes(std::uint32_t slot) const;
  std::size_t CurPos() const;
  void ViewChanged() const;
  void AddToOrders(std::uint32_t slot, std::uint32_t natural_before);
  void RemoveFromOrders(std::uint32_t slot);
  // After an edit: keeps the orders and lookups; true when the row may
  // stand elsewhere in the current order.
  bool ReorderRow(std::uint32_t slot, const std::vector<Value>& old_values);
  void ResetOrders();
  int PosOf(std::uint32_t slot) const;  // 1-based in the view, 0 when not visible
  std::uint32_t SlotAt(int recNo) const;

  // Cursor.
  static constexpr std::size_t kUnknownPos = static_cast<std::size_t>(-1);
  // Makes slot the current row; pos is its place in the view when known.
  void SetCurrent(std::uint32_t slot, std::size_t pos = kUnknownPos);
  void AfterViewChange(int old_recno);
  void ScrollTo(int recNo);  // without events: sets the current row, Bof/Eof cleared
  void PrefetchRow(std::size_t pos) const;  // the row at pos of the view (0-based), into the cache
  void SetState(DataSetState state);
  void LeaveEditState();
  void StartInsert(std::uint32_t natural_before, int recno);
  void Fire(const Event& event);

  // Lookups by value.
  static void AppendKey(std::string& key, const Value& v);
  static std::string RowKey(const KeyLookup& lookup, const std::vector<Value>& row);
  KeyLookup* LookupFor(const std::vector<const TField*>& fields, const std::vector<Value>& keys,
                       const LocateOptions& options);
  void LookupAdd(std::uint32_t slot);
  void LookupRemove(std::uint32_t slot, const std::vector<Value>& values);
  void LookupChange(std::uint32_t slot, const std::vector<Value>& before, const std::vector<Value>& now);
  static void LookupErase(KeyLookup& lookup, const std::string& key, std::uint32_t slot);

  // Change log.
  void Log(Row& row, RowStatus status);
  void Unlog(Row& row);

  // Observers.
  template <typename F>
  void Notify(F&& f) const;
  void NotifyReset() const;
  void NotifyCurrent() const;

  std::string name_;
  std::vector<std::unique_ptr<TField>> fields_;
  std::unordered_map<std::string, std::size_t, CaseInsensitiveHash, CaseInsensitiveEqual> by_name_;
  std::vector<TField*> data_fields_;
  std::vector<TField*> calc_fields_;

  DataSetState state_ = DataSetState::kInactive;
  std::vector<Row> rows_;  // slots; removed rows stay as tombstones until the next load
  std::uint64_t generation_ = 0;
  std::vector<std::uint32_t> natural_;  // live slots in insertion order
  std::vector<std::uint32_t> natural_saved_;  // natural_ at the last merge
  bool natural_saved_is_identity_ = true;  // ...or every slot below loaded_count_
  std::uint32_t loaded_count_ = 0;

  // The columns of the last packet that did not come in field order, where
  // each went, and how many data fields there were then: a packet with the
  // same columns goes the same way without looking its names up.
  std::vector<std::string> last_columns_;
  std::vector<std::ptrdiff_t> last_targets_;
  std::size_t last_columns_fields_ = static_cast<std::size_t>(-1);

  std::vector<Index> indexes_;
  std::vector<KeyLookup> lookups_;
  int active_index_ = -1;  // -1: insertion order
  std::string index_name_;
  std::string index_field_names_;

  FilterFunc filter_;
  bool filtered_ = false;
  mutable std::vector<signed char> filter_cache_;  // per slot: -1 unknown, 0, 1
  mutable std::vector<std::uint32_t> view_;  // visible slots when filtered
  mutable bool view_valid_ = false;

  std::uint32_t cur_ = kNoRow;
  mutable std::size_t cur_pos_ = 0;
  mutable bool cur_pos_valid_ = false;
  bool bof_ = true;
  bool eof_ = true;

  // The row being edited or inserted.
  std::vector<Value> edit_values_;
  std::vector<Value> edit_calc_;
  std::uint32_t edit_slot_ = kNoRow;
  std::uint32_t insert_before_ = kNoRow;  // natural place of an Insert (kNoRow: Append)
  int insert_recno_ = 0;
  bool modified_ = false;

  // Where field reads go while a filter, a view or OnCalcFields looks at a
  // row that is not current; and whether OnCalcFields is running.
  mutable std::uint32_t eval_ = kNoRow;
  mutable bool calculating_ = false;

  std::uint64_t next_seq_ = 0;
  int change_count_ = 0;

  std::vector<DataSetObserver*> observers_;
  int controls_disabled_ = 0;
};

}  // namespace pag
