// Karo's data module: the connection to the dictionary database, the queries and the data sources
// the main form's pages bind to, all read from its form resource; and the program folder the
// database is found in. Windows only.
#pragma once

#include "classlib/controls/forms.h"
#include "classlib/db/adodb.h"

// The folder of the running program with a trailing backslash (the folder of Karo.exe, whatever
// the current directory is). A test that is no Karo.exe points it at a built program folder with
// SetKaroProgramFolder; an empty text returns to the program's own folder.
WideString KaroProgramFolder();
void SetKaroProgramFolder(const WideString& folder);

// A connection string with the value of each named setting replaced (in place, keeping the order
// of the settings), quoted as ParseConnectionString reads it back.
WideString ReplaceConnectionSettings(const WideString& connection,
                                     const std::vector<std::pair<WideString, WideString>>& values);

class TKaro_DataModule : public TDataModule {
  KARO_CLASS(TKaro_DataModule)
public:
  using TDataModule::TDataModule;

  TADOConnection* ADOConnection() const { return Get<TADOConnection>("ADOConnection"); }
  TADOQuery* A_ADOQuery1() const { return Get<TADOQuery>("A_ADOQuery1"); }
  TADOQuery* A_ADOQuery2() const { return Get<TADOQuery>("A_ADOQuery2"); }
  TADOQuery* B_ADOQuery1() const { return Get<TADOQuery>("B_ADOQuery1"); }
  TADOQuery* B_ADOQuery2() const { return Get<TADOQuery>("B_ADOQuery2"); }
  TADOQuery* C_ADOQuery1() const { return Get<TADOQuery>("C_ADOQuery1"); }
  TADOQuery* C_ADOQuery2() const { return Get<TADOQuery>("C_ADOQuery2"); }
  TADOQuery* D_ADOQuery1() const { return Get<TADOQuery>("D_ADOQuery1"); }
  TADOQuery* A_ADOQuery_Top() const { return Get<TADOQuery>("A_ADOQuery_Top"); }
  TADOQuery* B_ADOQuery_Top() const { return Get<TADOQuery>("B_ADOQuery_Top"); }
  TDataSource* A_DataSource1() const { return Get<TDataSource>("A_DataSource1"); }
  TDataSource* A_DataSource2() const { return Get<TDataSource>("A_DataSource2"); }
  TDataSource* B_DataSource1() const { return Get<TDataSource>("B_DataSource1"); }
  TDataSource* B_DataSource2() const { return Get<TDataSource>("B_DataSource2"); }
  TDataSource* C_DataSource1() const { return Get<TDataSource>("C_DataSource1"); }
  TDataSource* C_DataSource2() const { return Get<TDataSource>("C_DataSource2"); }
  TDataSource* D_DataSource1() const { return Get<TDataSource>("D_DataSource1"); }
  TDataSource* A_DataSource_Top() const { return Get<TDataSource>("A_DataSource_Top"); }
  TDataSource* B_DataSource_Top() const { return Get<TDataSource>("B_DataSource_Top"); }

  // The stored connection string names the database and the workgroup file relative to the
  // program; they are made absolute here, just before every connect, so that a program started
  // from a shortcut or another folder still finds its data.
  void ADOConnectionBeforeConnect(TObject* sender);

private:
  template <class T> T* Get(const char* name) const {
    T* c = dyn<T>(FindComponent(name));
    if (!c) throw Exception(std::string("The data module lacks ") + name);
    return c;
  }
};

// Why the data module could not be made, from the error its connection raised: the error as it
// stands when it names its file, else said of the database file.
WideString KaroDatabaseOpenProblem(const Exception& error);
// The box for a database that cannot be opened or serve: the problem, where the files are, and
// what to do.
WideString KaroDatabaseMessage(const WideString& problem);

// The program's data module, made second by the program block (tests set it to theirs).
extern TKaro_DataModule* Karo_DataModule;
