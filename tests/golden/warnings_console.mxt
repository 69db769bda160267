go
//No available conversion of command:	foo bar
gostep until(!)
expand
//NOTE: Can only expand current context
