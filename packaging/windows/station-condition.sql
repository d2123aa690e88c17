UPDATE `Component` SET `Condition` = 'INSTALLSTATIONSERVICE = "1" OR REMOVE ~= "ALL"' WHERE `Component` = 'StationService' OR `Component` = 'StationFolder'
