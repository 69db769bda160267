//| quick re-run after a rebuild
reload
break main
go
//Warning: semicolon found on line: "break main; go".  This conversion could contain errors.
//Put multiple commands on seperate lines

//No available conversion of command:	selectcore 1
where
