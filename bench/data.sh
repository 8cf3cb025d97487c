# The data the benchmarks share, for bench/run and bench/load to source.

# SQL for the client's decision pass: 1,000 printers and 10,000 rules, among them an
# inactive rule for the client $1, so that a run decides and does no printer work.
decision_sql() {
  local client=$1
  echo "UPDATE Config SET ClearPrintersFirst = 0, AllowClientSelection = 0;
  WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 999)
  INSERT INTO printers (UNCNAME, Description, Available) SELECT printf('\\\\srv%02d\\printer%04d', i % 50, i), 'Printer ' || i, i % 3 <> 0 FROM n;
  WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 9999)
  INSERT INTO MapRules (RULENAME, UNCPath1, UNCPath2, UNCPath3, UNCPath4, \"Default\", Active) SELECT CASE WHEN i % 10 = 0 THEN printf('LAB%04d*', i) ELSE printf('PC%05d', i) END,
    printf('\\\\srv%02d\\printer%04d', i % 50, i % 999 + 1), 'None', NULL, NULL, 1, 1 FROM n;
  INSERT INTO MapRules (RULENAME, UNCPath1, UNCPath2, UNCPath3, UNCPath4, \"Default\", Active) VALUES ('$client', '\\\\srv01\\printer0001', 'None', NULL, NULL, 1, 0);"
}
