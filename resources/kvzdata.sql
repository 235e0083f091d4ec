-- Schema of the application data file Data/KVZDATA.KVZ.
-- NodeID has integer affinity in both tables: the store compares it with quoted
-- decimal literals. Statements read Node and NodeValue by column position, so the
-- column order is fixed.
CREATE TABLE Node (
  NodeID INTEGER PRIMARY KEY,
  NodeName TEXT,
  NodeType INTEGER
);
CREATE TABLE NodeValue (
  ValueID INTEGER PRIMARY KEY,
  NodeID INTEGER,
  TextVal TEXT,
  BlobVal BLOB
);
