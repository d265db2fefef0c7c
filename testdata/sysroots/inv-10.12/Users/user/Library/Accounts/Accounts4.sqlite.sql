-- The user's accounts database on 10.12 (Accounts4.sqlite): two POP accounts
-- sending through one SMTP server. keyed_archive() stores a value as the
-- system does, as a keyed archive.
CREATE TABLE ZACCOUNT ( Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZACTIVE INTEGER, ZAUTHENTICATED INTEGER, ZSUPPORTSAUTHENTICATION INTEGER, ZVISIBLE INTEGER, ZWARMINGUP INTEGER, ZACCOUNTTYPE INTEGER, ZPARENTACCOUNT INTEGER, ZDATE TIMESTAMP, ZLASTCREDENTIALRENEWALREJECTIONDATE TIMESTAMP, ZACCOUNTDESCRIPTION VARCHAR, ZAUTHENTICATIONTYPE VARCHAR, ZCREDENTIALTYPE VARCHAR, ZIDENTIFIER VARCHAR, ZMODIFICATIONID VARCHAR, ZOWNINGBUNDLEID VARCHAR, ZUSERNAME VARCHAR, ZDATACLASSPROPERTIES BLOB );
CREATE TABLE ZACCOUNTPROPERTY ( Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZOWNER INTEGER, ZKEY VARCHAR, ZVALUE BLOB );
CREATE TABLE ZACCOUNTTYPE ( Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER, ZOBSOLETE INTEGER, ZSUPPORTSAUTHENTICATION INTEGER, ZSUPPORTSMULTIPLEACCOUNTS INTEGER, ZVISIBILITY INTEGER, ZACCOUNTTYPEDESCRIPTION VARCHAR, ZCREDENTIALPROTECTIONPOLICY VARCHAR, ZCREDENTIALTYPE VARCHAR, ZIDENTIFIER VARCHAR, ZOWNINGBUNDLEID VARCHAR );

INSERT INTO ZACCOUNTTYPE VALUES (1, 4, 1, 0, 1, 1, 0, 'IMAP', NULL, 'password', 'com.apple.account.IMAP', 'com.apple.mail');
INSERT INTO ZACCOUNTTYPE VALUES (2, 4, 1, 0, 1, 1, 0, 'POP', NULL, 'password', 'com.apple.account.POP', 'com.apple.mail');
INSERT INTO ZACCOUNTTYPE VALUES (4, 4, 1, 0, 1, 1, 0, 'SMTP', NULL, 'password', 'com.apple.account.SMTP', 'com.apple.mail');

INSERT INTO ZACCOUNT VALUES (1, 2, 5, 1, 1, 1, 1, 0, 2, NULL, 500000000.0, NULL, 'Example Jp', NULL, 'password', '5E0B4F2A-7C1D-4E3B-8A9F-0C1D2E3F4A01', NULL, 'com.apple.mail', 'hanako', NULL);
INSERT INTO ZACCOUNT VALUES (2, 2, 3, 1, 1, 1, 1, 0, 4, NULL, 500000000.0, NULL, 'smtp.example.jp', NULL, 'password', '5E0B4F2A-7C1D-4E3B-8A9F-0C1D2E3F4A02', NULL, 'com.apple.mail', 'hanako', NULL);
INSERT INTO ZACCOUNT VALUES (3, 2, 4, 1, 1, 1, 1, 0, 2, NULL, 500000100.0, NULL, 'Example Com', NULL, 'password', '5E0B4F2A-7C1D-4E3B-8A9F-0C1D2E3F4A03', NULL, 'com.apple.mail', 'taro', NULL);
INSERT INTO ZACCOUNT VALUES (4, 2, 2, 1, 1, 1, 1, 0, 1, NULL, 500000200.0, NULL, 'Cloud IMAP', NULL, 'password', '5E0B4F2A-7C1D-4E3B-8A9F-0C1D2E3F4A04', NULL, 'com.apple.mail', 'hanako@example.com', NULL);

INSERT INTO ZACCOUNTPROPERTY VALUES (1, 3, 1, 1, 'EmailAliases', keyed_archive('
  <array><dict>
    <key>DisplayName</key><string>Hanako Yamada</string>
    <key>EmailAddresses</key><array>
      <dict><key>EmailAddress</key><string>hanako@example.jp</string></dict>
    </array>
  </dict></array>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (2, 3, 1, 1, 'Hostname', keyed_archive('<string>pop.example.jp</string>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (3, 3, 1, 1, 'SendingAccountIdentifier', keyed_archive('<string>5E0B4F2A-7C1D-4E3B-8A9F-0C1D2E3F4A02</string>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (4, 3, 1, 2, 'Hostname', keyed_archive('<string>smtp.example.jp</string>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (5, 3, 1, 3, 'EmailAliases', keyed_archive('
  <array>
    <dict>
      <key>DisplayName</key><string>Taro Suzuki</string>
      <key>EmailAddresses</key><array>
        <dict><key>EmailAddress</key><string>taro@example.com</string></dict>
      </array>
    </dict>
    <dict>
      <key>DisplayName</key><string>Taro (work)</string>
      <key>EmailAddresses</key><array>
        <dict><key>EmailAddress</key><string>t.suzuki@example.com</string></dict>
      </array>
    </dict>
  </array>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (6, 3, 1, 3, 'Hostname', keyed_archive('<string>pop.example.com</string>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (7, 3, 1, 3, 'SendingAccountIdentifier', keyed_archive('<string>5E0B4F2A-7C1D-4E3B-8A9F-0C1D2E3F4A02</string>'));
INSERT INTO ZACCOUNTPROPERTY VALUES (8, 3, 1, 4, 'Hostname', keyed_archive('<string>imap.example.com</string>'));
