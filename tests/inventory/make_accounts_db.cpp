// make-accounts-db FOLDER: makes X.sqlite next to every X.sqlite.sql below
// FOLDER (a captured system), for running the command line against it.

#include <iostream>

#include "inventory/accounts_db_maker.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make-accounts-db FOLDER\n";
    return 2;
  }
  std::string error = corvane::testing::makeAccountsDatabasesBelow(argv[1]);
  if (!error.empty()) {
    std::cerr << "make-accounts-db: " << error << '\n';
    return 1;
  }
  return 0;
}
