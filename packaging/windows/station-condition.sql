UPDATE `Component` SET `Condition` = 'INSTALLSTATIONSERVICE = "1"' WHERE `Component` = 'StationService' OR `Component` = 'StationFolder'
