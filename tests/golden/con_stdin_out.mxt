//| typed at the console
break main
go
printf "%x",counter
//No available conversion of command:	flashprog
