#include "store/info_records.h"

namespace tarvo {

int InfoRecords::GetInfo(WStringView key, WString& value) const {
  QueryTable table;
  const int rows = database_.Query("SELECT value FROM info WHERE key=?;", {key}, &table);
  value.clear();
  if (rows < 0) {
    return -1;
  }
  if (rows == 0) {
    return -2;
  }
  value = Utf8ToWide(table.Text(0, 0));
  return 0;
}

int InfoRecords::SetInfo(WStringView key, WStringView value) const {
  return database_.RunInTransaction([&] {
    WString current;
    switch (GetInfo(key, current)) {
      case -2:
        return database_.Execute("insert into info (key,value)values(?,?);", {key, value}) == 0;
      case 0:
        return database_.Execute("UPDATE info SET  value=? WHERE key=?;", {value, key}) == 0;
      default:
        return false;
    }
  });
}

int InfoRecords::DeleteInfo(WStringView key) const {
  return database_.Execute("DELETE FROM info WHERE key=?;", {key});
}

bool InfoRecords::GetExitClean() const {
  QueryTable table;
  return database_.Query("select value from info where key='exit_clean';", {}, &table) > 0 &&
         table.Integer(0, 0) != 0;
}

int InfoRecords::SetExitClean(bool on) const {
  return database_.Execute("UPDATE info SET  value=? WHERE key='exit_clean';", {on ? "1" : "0"});
}

}  // namespace tarvo
