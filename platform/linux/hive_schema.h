#pragma once

#include <string>

struct sqlite3;

namespace platform {

// The hive's tables and index, exactly as a store creates them.
extern const char* const kHiveSchema;

// Every user may write the machine hive, its schema included, so nothing in the file may run as
// code in our process: defensive mode, an untrusted schema, no extension loading, no triggers and
// no views, and an authorizer that refuses whatever a trigger or a view would code. This holds for
// the connection's life, also after another process has changed the schema.
void DefendConnection(sqlite3* db);

// What the file's schema holds beyond or in place of the store's own objects, as "trigger 't'";
// "" when it holds exactly those. rc gets the result of reading the schema.
std::string ForeignSchemaObject(sqlite3* db, int& rc);

// A key row whose id is the root's makes keys their own ancestors; a lookup that meets one
// notes it here and fails with SQLITE_CORRUPT.
void NoteKeyCycle();

// Why a statement failed with rc, when the file's content is the cause: the cycle noted above,
// or, after an error of compiling, a schema that is no longer the store's. "" otherwise. Taking
// the note clears it.
std::string HiveContentProblem(sqlite3* db, int rc);

} // namespace platform
