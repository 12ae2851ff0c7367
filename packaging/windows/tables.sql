-- What wixl cannot write into the package, added to the package it built by
-- scripts/package-msi.sh: one statement per ';', lines from '--' on are
-- comments.

-- The MOF compiler's search: MOFCOMP holds the full path of
-- [System64Folder]wbem\mofcomp.exe where that file exists and stays unset
-- elsewhere; CompileMof runs only with it.
CREATE TABLE `DrLocator` (`Signature_` CHAR(72) NOT NULL, `Parent` CHAR(72), `Path` CHAR(255), `Depth` SHORT
  PRIMARY KEY `Signature_`, `Parent`, `Path`);
INSERT INTO `Signature` (`Signature`, `FileName`) VALUES ('MofcompExe', 'mofcomp.exe');
INSERT INTO `DrLocator` (`Signature_`, `Path`, `Depth`) VALUES ('MofcompExe', '[System64Folder]wbem', 0);
INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('MOFCOMP', 'MofcompExe');
INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('AppSearch', 50);
INSERT INTO `InstallUISequence` (`Action`, `Sequence`) VALUES ('AppSearch', 50);

-- A newer package removes the older product whole before it installs its
-- own files, right after InstallValidate, as WiX schedules it by default.
UPDATE `InstallExecuteSequence` SET `Sequence` = 1401 WHERE `Action` = 'RemoveExistingProducts';

-- A service that cannot be installed fails the installation (error control
-- normal, 1, and vital, 0x8000).
UPDATE `ServiceInstall` SET `ErrorControl` = 32769 WHERE `ServiceInstall` = 'Rulosrv';

-- The provider's class key is removed whole with the provider, as
-- DllUnregisterServer removes it, and its empty Programmable key is created
-- and removed with it.
INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`)
  VALUES ('WexiClass', 0, 'CLSID\{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}', '-', 'Wexi');
INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`)
  VALUES ('WexiProgrammable', 0, 'CLSID\{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}\Programmable', '*', 'Wexi');

-- The event source's message files are expandable strings ("#%"), which
-- wixl does not write.
INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Value`, `Component_`)
  VALUES ('EventMessageFile', 2, 'SYSTEM\CurrentControlSet\Services\EventLog\Application\rulosrv',
          'EventMessageFile', '#%[BINDIR]rulosrv.DLL', 'Rulosrv');
INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Value`, `Component_`)
  VALUES ('CategoryMessageFile', 2, 'SYSTEM\CurrentControlSet\Services\EventLog\Application\rulosrv',
          'CategoryMessageFile', '#%[BINDIR]rulosrv.DLL', 'Rulosrv');

-- What the service leaves in its folders goes with the product: the
-- collector's output (rulXXXX.TMP) and log, the data file and the data files
-- it set aside (Windows Installer expands the wildcards). Then the folders
-- that hold no file of the package of their own, so that none is left empty
-- behind.
INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `FileName`, `DirProperty`, `InstallMode`)
  VALUES ('CollectorOutput', 'CollectorFolder', 'rul*.tmp', 'COLLECTORDIR', 2);
INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `FileName`, `DirProperty`, `InstallMode`)
  VALUES ('CollectorLog', 'CollectorFolder', 'lastrun.log', 'COLLECTORDIR', 2);
INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `FileName`, `DirProperty`, `InstallMode`)
  VALUES ('DataFile', 'DataFolder', 'inventory.xml', 'DATADIR', 2);
INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `FileName`, `DirProperty`, `InstallMode`)
  VALUES ('DataSetAside', 'DataFolder', 'rul*.tmp', 'DATADIR', 2);
INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `DirProperty`, `InstallMode`)
  VALUES ('DataFolder', 'DataFolder', 'DATADIR', 2);
INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `DirProperty`, `InstallMode`)
  VALUES ('InventoryFolder', 'DataFolder', 'INVENTORYDIR', 2);
INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `DirProperty`, `InstallMode`)
  VALUES ('XslRootFolder', 'DataFolder', 'XSLROOTDIR', 2);
INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `DirProperty`, `InstallMode`)
  VALUES ('CollectorFolder', 'CollectorFolder', 'COLLECTORDIR', 2);
INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `DirProperty`, `InstallMode`)
  VALUES ('InstallFolder', 'DataFolder', 'INSTALLDIR', 2);
