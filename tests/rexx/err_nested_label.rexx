/* a label inside a DO cannot be called */
do 1
inner: say 'in'
end
call inner
