-- The user's accounts database on 10.11 (Accounts3.sqlite): two POP accounts
-- with their SMTP servers, one POP account without properties, an IMAP
-- account. keyed_archive() stores a value as the system does, as a keyed archive.
CREATE TABLE ZACCOUNTTYPE ( Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZSUPPORTSAUTHENTICATION INTEGER, ZSUPPORTSMULTIPLEACCOUNTS INTEGER, ZACCOUNTTYPEDESCRIPTION VARCHAR, ZIDENTIFIER VARCHAR );
CREATE TABLE ZACCOUNT ( Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZACCOUNTTYPE INTEGER, ZACTIVE INTEGER, ZAUTHENTICATED INTEGER, ZVISIBLE INTEGER, ZCREDENTIALTYPE INTEGER, ZAUTHENTICATIONTYPE INTEGER, ZACCOUNTDESCRIPTION VARCHAR, ZIDENTIFIER VARCHAR, ZOWNINGBUNDLEID VARCHAR, ZPARENTACCOUNT VARCHAR, ZUSERNAME VARCHAR, ZDATE TIMESTAMP, ZLASTCREDENTIALRENEWALREJECTIONDATE TIMESTAMP );
CREATE TABLE ZACCOUNTPROPERTY ( Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZOWNER INTEGER, ZKEY VARCHAR, ZVALUE BLOB );

INSERT INTO ZACCOUNTTYPE VALUES (1, 4, 1, 1, 1, 'CloudKit', 'com.apple.account.CloudKit');
INSERT INTO ZACCOUNTTYPE VALUES (5, 4, 1, 1, 1, 'IMAP', 'com.apple.account.IMAP');
INSERT INTO ZACCOUNTTYPE VALUES (6, 4, 1, 1, 1, 'pop', 'com.apple.account.pop');
INSERT INTO ZACCOUNTTYPE VALUES (7, 4, 1, 1, 1, 'POP', 'com.apple.account.POP');
INSERT INTO ZACCOUNTTYPE VALUES (9, 4, 1, 1, 1, 'SMTP', 'com.apple.account.SMTP');

INSERT INTO ZACCOUNT VALUES (1, 2, 3, 5, 1, 1, 1, NULL, NULL, 'Cloud', '0D3C7A52-1B6E-4F0A-9C1D-3E5B7A9C1E01', 'com.apple.mail', NULL, 'hanako@example.com', 470000000.5, NULL);
INSERT INTO ZACCOUNT VALUES (2, 2, 4, 7, 1, 1, 1, NULL, NULL, 'Provider POP', '0D3C7A52-1B6E-4F0A-9C1D-3E5B7A9C1E02', 'com.apple.mail', NULL, 'hanako', 470000100.25, NULL);
INSERT INTO ZACCOUNT VALUES (3, 2, 2, 9, 1, 1, 1, NULL, NULL, 'smtp.example.jp', 'SMTP-0001', 'com.apple.mail', NULL, 'hanako', 470000100.25, NULL);
INSERT INTO ZACCOUNT VALUES (4, 2, 2, 7, 1, 1, 1, NULL, NULL, 'Second POP', '0D3C7A52-1B6E-4F0A-9C1D-3E5B7A9C1E04', 'com.apple.mail', NULL, 'yamada', 470000200, NULL);
INSERT INTO ZACCOUNT VALUES (5, 2, 2, 9, 1, 1, 1, NULL, NULL, 'smtp.example.com', 'SMTP-0002', 'com.apple.mail', NULL, 'hanako', 470000200, NULL);
INSERT INTO ZACCOUNT VALUES (6, 2, 1, 7, 0, 0, 1, NULL, NULL, 'No properties', '0D3C7A52-1B6E-4F0A-9C1D-3E5B7A9C1E06', 'com.apple.mail', NULL, NULL, NULL, NULL);

INSERT INTO ZACCOUNTPROPERTY VALUES (1, 3, 1, 1, 'Hostname', keyed_archive('<string>imap.example.com</string>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (2, 3, 1, 2, 'EmailAliases', keyed_archive('
  <array><dict>
    <key>DisplayName</key><string>Hanako Yamada</string>
    <key>EmailAddresses</key><array>
      <dict><key>EmailAddress</key><string>hanako@example.jp</string></dict>
      <dict><key>EmailAddress</key><string>hanako.alias@example.jp</string></dict>
    </array>
  </dict></array>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (3, 3, 1, 2, 'Hostname', keyed_archive('<string>pop.example.jp</string>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (4, 3, 1, 2, 'SendingAccountIdentifier', keyed_archive('<string>SMTP-0001</string>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (5, 3, 1, 2, 'PortNumber', keyed_archive('<integer>110</integer>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (6, 3, 1, 2, 'SSLEnabled', keyed_archive('<false/>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (7, 3, 1, 3, 'Hostname', keyed_archive('<string>smtp.example.jp</string>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (8, 3, 1, 4, 'EmailAliases', keyed_archive('
  <array><dict>
    <key>DisplayName</key><string>Yamada</string>
    <key>EmailAddresses</key><array/>
  </dict></array>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (9, 3, 1, 4, 'Hostname', keyed_archive('<string>pop2.example.jp</string>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (10, 3, 1, 4, 'SendingAccountIdentifier', keyed_archive('<string>SMTP-9999</string>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (11, 3, 1, 5, 'Hostname', keyed_archive('<string>smtp.example.com</string>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (12, 3, 1, 5, 'ServerPath', NULL);
